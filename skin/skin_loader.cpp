#include "skin/skin_loader.h"

#include "imaging/bmp_codec.h"
#include "imaging/graphic_error.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/png_graphic.h"
#include "skin/option_values.h"
#include "skin/skin_error.h"
#include "skin/skin_text.h"

#include <algorithm>
#include <optional>
#include <span>

namespace kalvo {

const char* const NewerSkinVersionMessage =
    "This skin was made for a newer version of the skin format than this program supports. "
    "It may not look as intended; update the program to use it fully.";

namespace {

constexpr const char* GlobalSection = "GLOBALINFO";
constexpr std::int32_t Absent = -1;
// A picture this large or larger is a pattern; a smaller one becomes a texture mask.
constexpr std::int64_t PatternMinPixels = 90000;

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// The bytes of a picture named in the options: a package entry whose upper-cased name equals
// the name as written, or a file of the skin folder.
class TPictures {
public:
    explicit TPictures(const TSkinLoadSource& source) : source_(source) {}

    std::optional<std::vector<std::uint8_t>> Find(const std::string& name) const {
        if (name.empty())
            return std::nullopt;
        if (const TacSkinConvertor* package = source_.Package) {
            // The name as written meets the upper-cased entry names: only capitals can match.
            const TacImageItem* item =
                SkinUpperCase(name) == name ? package->FindImage(name) : nullptr;
            if (!item)
                return std::nullopt;
            return item->Data.Bytes();
        }
        if (!source_.Files)
            return std::nullopt;
        const std::string path =
            name.find(':') == std::string::npos ? source_.SkinFolder + name : name;
        if (!source_.Files->FileExists(path))
            return std::nullopt;
        return source_.Files->ReadFile(path);
    }

private:
    const TSkinLoadSource& source_;
};

// A picture reader's complaint about a skin picture makes the picture count as missing.
template <class Decode>
std::optional<TBitmap> DecodePicture(Decode decode) {
    try {
        TBitmap picture = decode();
        if (picture.Width() <= 0 || picture.Height() <= 0)
            return std::nullopt;
        return picture;
    } catch (const EInvalidGraphic&) {
    } catch (const EGraphicCompression&) {
    } catch (const EColorConversionError&) {
    }
    return std::nullopt;
}

std::optional<TBitmap> ReadBitmapPicture(std::span<const std::uint8_t> bytes) {
    return DecodePicture([&] { return ReadBMP(bytes); });
}

std::optional<TBitmap> ReadPNGPicture(std::span<const std::uint8_t> bytes) {
    return DecodePicture([&] {
        TPNGGraphic png;
        png.LoadFromBytes(bytes);
        return CopyWithWhiteTransparent(png);
    });
}

std::optional<TBitmap> ReadJPEGPicture(std::span<const std::uint8_t> bytes) {
    return DecodePicture([&] { return DecodeJPEG(bytes); });
}

TBitmap To24Bit(TBitmap picture) {
    picture.SetPixelFormat(pf24bit);
    return picture;
}

bool RectInside(const TRect& rect, const TBitmap& picture) {
    return rect.Left >= 0 && rect.Top >= 0 && rect.Left <= rect.Right &&
           rect.Top <= rect.Bottom && rect.Right <= picture.Width() &&
           rect.Bottom <= picture.Height();
}

// Reads a section key with the PARENTCLASS walk: a value of -1 (or none) in a section sends
// the read on to its parent. A parent that names a section already walked ends the walk.
class TInheritedReader {
public:
    explicit TInheritedReader(const TsOptionsFile& options) : options_(options) {}

    std::int32_t Int(const std::string& section, const char* key, std::int32_t fallback) const {
        return Walk(section, fallback, [&](const std::string& s) -> std::optional<std::int32_t> {
            const TsOptionsFile::TKey* found = options_.FindKey(s, key);
            const std::int32_t value = found ? ReadLenientInteger(found->Value, Absent) : Absent;
            if (value == Absent)
                return std::nullopt;
            return value;
        });
    }

    std::string Text(const std::string& section, const char* key,
                     const std::string& fallback) const {
        return Walk(section, fallback, [&](const std::string& s) -> std::optional<std::string> {
            std::string value = options_.ReadString(s, key, "?");
            if (value == "?")
                return std::nullopt;
            return value;
        });
    }

private:
    template <class T, class Read>
    T Walk(const std::string& section, T fallback, Read read) const {
        std::vector<std::string> walked;
        std::string name = section;
        for (;;) {
            if (std::optional<T> value = read(name))
                return *value;
            walked.push_back(SkinUpperCase(name));
            const std::string parent = options_.ReadString(name, "PARENTCLASS", "?");
            if (parent.empty() || parent == "?" || parent == name ||
                std::find(walked.begin(), walked.end(), SkinUpperCase(parent)) != walked.end())
                return fallback;
            name = parent;
        }
    }

    const TsOptionsFile& options_;
};

// Where the values of a section record come from: nullopt leaves the field as it is.
class TRecordValues {
public:
    virtual ~TRecordValues() = default;
    virtual std::optional<std::int32_t> Int(const char* key, std::int32_t fallback) const = 0;
    virtual std::optional<std::string> Text(const char* key, const std::string& fallback) const = 0;
};

// A section of the options file, every key with inheritance and defaults.
class TInheritedValues : public TRecordValues {
public:
    TInheritedValues(const TInheritedReader& reader, std::string section)
        : reader_(reader), section_(std::move(section)) {}
    std::optional<std::int32_t> Int(const char* key, std::int32_t fallback) const override {
        return reader_.Int(section_, key, fallback);
    }
    std::optional<std::string> Text(const char* key, const std::string& fallback) const override {
        return reader_.Text(section_, key, fallback);
    }

private:
    const TInheritedReader& reader_;
    std::string section_;
};

// A section of the common lines: only the keys written there.
class TWrittenValues : public TRecordValues {
public:
    explicit TWrittenValues(const TsOptionsFile::TSection& section) : section_(section) {}
    std::optional<std::int32_t> Int(const char* key, std::int32_t fallback) const override {
        if (const TsOptionsFile::TKey* found = Find(key))
            return ReadLenientInteger(found->Value, fallback);
        return std::nullopt;
    }
    std::optional<std::string> Text(const char* key, const std::string&) const override {
        if (const TsOptionsFile::TKey* found = Find(key))
            return found->Value;
        return std::nullopt;
    }

private:
    const TsOptionsFile::TKey* Find(const char* key) const {
        for (const TsOptionsFile::TKey& entry : section_.Keys)
            if (SameSkinName(entry.Name, key))
                return &entry;
        return nullptr;
    }
    const TsOptionsFile::TSection& section_;
};

void ReadRecord(const TRecordValues& values, TsGeneralData& record) {
    auto integer = [&](const char* key, std::int32_t& field, std::int32_t fallback) {
        if (std::optional<std::int32_t> value = values.Int(key, fallback))
            field = *value;
    };
    auto colour = [&](const char* key, TColor& field, TColor fallback) {
        if (std::optional<std::int32_t> value = values.Int(key, std::int32_t(fallback)))
            field = TColor(*value);
    };
    auto boolean = [&](const char* key, bool& field) {
        if (std::optional<std::string> value = values.Text(key, "FALSE"))
            field = ParseBoolean(*value);
    };
    auto text = [&](const char* key, std::string& field, const std::string& fallback) {
        if (std::optional<std::string> value = values.Text(key, fallback))
            field = *value;
    };
    auto contours = [&](const char* prefix, TsTextColors& colors) {
        const std::string p = prefix;
        colour((p + "TCLEFT").c_str(), colors.TCLeft, clNone);
        colour((p + "TCTOP").c_str(), colors.TCTop, clNone);
        colour((p + "TCRIGHT").c_str(), colors.TCRight, clNone);
        colour((p + "TCBOTTOM").c_str(), colors.TCBottom, clNone);
    };

    if (std::optional<std::int32_t> value = values.Int("COLOR", 0xFFFFFF))
        record.Color = ColorToRGB(TColor(*value));
    boolean("RESERVEDBOOLEAN", record.ReservedBoolean);
    boolean("GIVEOWNFONT", record.GiveOwnFont);
    integer("GLOW", record.GlowCount, 0);
    integer("GLOWMARGIN", record.GlowMargin, 0);
    colour("FONTCOLOR", record.FontColor.Color, 0);
    contours("", record.FontColor);
    colour("HOTFONTCOLOR", record.HotFontColor.Color, 0);
    contours("HOT", record.HotFontColor);
    integer("TRANSPARENCY", record.Transparency, 0);
    integer("GRADIENTPERCENT", record.GradientPercent, 0);
    integer("IMAGEPERCENT", record.ImagePercent, 0);
    text("GRADIENTDATA", record.GradientData, " ");
    boolean("SHOWFOCUS", record.ShowFocus);
    boolean("FADINGENABLED", record.FadingEnabled);
    integer("FADINGITERATIONS", record.FadingIterations, 5);
    colour("HOTCOLOR", record.HotColor, 0xFFFFFF);
    integer("HOTTRANSPARENCY", record.HotTransparency, 0);
    integer("HOTGRADIENTPERCENT", record.HotGradientPercent, 0);
    text("HOTGRADIENTDATA", record.HotGradientData, "");
    integer("HOTIMAGEPERCENT", record.HotImagePercent, 0);
}

void ParseGradients(TsGeneralData& record) {
    record.GradientSteps =
        record.GradientData == " " ? TsGradArray{} : ParseGradientData(record.GradientData);
    record.HotGradientSteps = record.HotGradientData == " "
                                  ? TsGradArray{}
                                  : ParseGradientData(record.HotGradientData);
}

class TLoader {
public:
    TLoader(const TSkinLoadSource& source, TsSkinModel& model)
        : source_(source), model_(model), pictures_(source) {
        if (!source.CommonSections.empty()) {
            std::string text;
            for (std::string line : source.CommonSections) {
                if (line.empty() || line[0] != ';')
                    line.erase(std::remove_if(line.begin(), line.end(), IsSkinBlank), line.end());
                text += line;
                text += '\n';
            }
            common_ = TsOptionsFile(text);
            has_common_ = true;
        }
    }

    void Run() {
        if (source_.Stored) {
            StoredMasks(*source_.Stored);
            CommonMasks();
            StoredPatterns(*source_.Stored);
            CommonPatterns();
            StoredSections(*source_.Stored);
        } else {
            const TsOptionsFile& options = source_.Options ? *source_.Options : empty_;
            Masks(options);
            CommonMasks();
            Patterns(options);
            CommonPatterns();
            Sections(options);
        }
        CommonSections();
        model_.Loaded = true;
        if (source_.Adjust)
            source_.Adjust(model_);
        BindMasks();
    }

private:
    // ---- masks -----------------------------------------------------------------------

    void Masks(const TsOptionsFile& options) {
        const std::string master = options.ReadString(GlobalSection, "MASTERBITMAP", "");
        if (std::optional<std::vector<std::uint8_t>> bytes = pictures_.Find(master))
            if (std::optional<TBitmap> picture = ReadBitmapPicture(*bytes))
                SetMaster(std::move(*picture));
        for (const TsOptionsFile::TSection& section : options.Sections())
            for (const TsOptionsFile::TKey& key : section.Keys) {
                if (SameSkinName(section.Name, GlobalSection) && SameSkinName(key.Name, "MASTERBITMAP"))
                    continue;
                AddMask(section.Name, key.Name, key.Value, false);
            }
    }

    void SetMaster(TBitmap picture) {
        picture.SetPixelFormat(pf24bit);
        picture.SetTransparent(true);
        picture.SetTransparentColor(TransparentColor);
        model_.MasterBitmap = std::move(picture);
    }

    // One mask from one value; `common_only` takes only the kinds the common lines add.
    void AddMask(const std::string& section, const std::string& key, const std::string& value,
                 bool common_only) {
        const TMaskValueKind kind = ClassifyMaskValue(value);
        if (common_only && kind != TMaskValueKind::BitmapFile && kind != TMaskValueKind::Legacy)
            return;
        switch (kind) {
        case TMaskValueKind::Glyph:
        case TMaskValueKind::Border:
        case TMaskValueKind::Texture:
        case TMaskValueKind::Legacy:
            return AddMasterMask(section, key, value, kind);
        case TMaskValueKind::External:
            return AddExternalMask(section, key, value);
        case TMaskValueKind::BitmapFile:
            return AddBitmapFileMask(section, key, value);
        case TMaskValueKind::JPEGFile:
        case TMaskValueKind::NotAMask:
            return;
        }
    }

    TsMaskData NewMask(const std::string& section, const std::string& key) const {
        TsMaskData mask;
        mask.SectionName = section;
        mask.PropertyName = key;
        mask.OwnerManager = source_.OwnerManager;
        return mask;
    }

    static void CopyDescriptor(const TMaskDescriptor& from, TsMaskData& to) {
        to.SourceRect = from.SourceRect;
        to.ImageCount = from.ImageCount;
        to.MaskType = from.MaskType;
        to.BorderWidth = from.BorderWidth;
        to.StretchMode = from.StretchMode;
        to.ImgType = from.ImgType;
        to.WL = from.WL;
        to.WT = from.WT;
        to.WR = from.WR;
        to.WB = from.WB;
    }

    void AddMasterMask(const std::string& section, const std::string& key,
                       const std::string& value, TMaskValueKind kind) {
        std::optional<TMaskDescriptor> descriptor = ParseMaskDescriptor(value);
        if (!descriptor || !RectInside(descriptor->SourceRect, model_.MasterBitmap) ||
            model_.MasterBitmap.Empty())
            return;
        const bool legacy = kind == TMaskValueKind::Legacy;
        TsMaskData mask = legacy ? NewMask(SkinUpperCase(section), SkinUpperCase(key))
                                 : NewMask(section, key);
        if (kind == TMaskValueKind::Border || legacy)
            ApplyDefaultMargins(*descriptor, descriptor->SourceRect.Width(),
                                descriptor->SourceRect.Height());
        CopyDescriptor(*descriptor, mask);
        model_.MaskTable.push_back(std::move(mask));
    }

    void AddExternalMask(const std::string& section, const std::string& key,
                         const std::string& value) {
        std::optional<TMaskDescriptor> descriptor = ParseMaskDescriptor(value);
        if (!descriptor)
            return;
        std::optional<std::vector<std::uint8_t>> bytes = pictures_.Find(descriptor->FileName);
        if (!bytes)
            return;
        const bool png = Contains(descriptor->FileName, ".PNG");
        std::optional<TBitmap> picture = png ? ReadPNGPicture(*bytes) : ReadBitmapPicture(*bytes);
        if (!picture)
            return;
        if (!png && descriptor->ImgType != itisaTexture)
            picture->SetPixelFormat(pf24bit);
        if (!descriptor->MarginsGiven)
            ApplyDefaultMargins(*descriptor, picture->Width(), picture->Height());
        TsMaskData mask = NewMask(section, key);
        CopyDescriptor(*descriptor, mask);
        mask.SourceRect = {0, 0, picture->Width(), picture->Height()};
        mask.StretchMode = 4;
        mask.Image = std::make_unique<TBitmap>(std::move(*picture));
        model_.MaskTable.push_back(std::move(mask));
    }

    void AddBitmapFileMask(const std::string& section, const std::string& key,
                           const std::string& value) {
        std::optional<std::vector<std::uint8_t>> bytes = pictures_.Find(value);
        if (!bytes)
            return;
        std::optional<TBitmap> picture = ReadBitmapPicture(*bytes);
        if (!picture)
            return;
        TsMaskData mask = NewMask(SkinUpperCase(section), SkinUpperCase(key));
        mask.ImageCount = 3;
        mask.MaskType = 1;
        mask.ImgType = itisaBorder;
        mask.SourceRect = {0, 0, picture->Width(), picture->Height()};
        mask.WL = mask.WR = std::int16_t(picture->Width() / 9);
        mask.WT = mask.WB = std::int16_t(picture->Height() / 6);
        mask.Image = std::make_unique<TBitmap>(To24Bit(std::move(*picture)));
        model_.MaskTable.push_back(std::move(mask));
    }

    void CommonMasks() {
        if (!has_common_)
            return;
        for (const TsOptionsFile::TSection& section : common_.Sections())
            for (const TsOptionsFile::TKey& key : section.Keys)
                AddMask(section.Name, key.Name, key.Value, true);
    }

    // ---- patterns --------------------------------------------------------------------

    void Patterns(const TsOptionsFile& options) {
        for (const TsOptionsFile::TSection& section : options.Sections())
            for (const TsOptionsFile::TKey& key : section.Keys)
                AddPattern(section.Name, key.Name, key.Value);
    }

    void CommonPatterns() {
        if (!has_common_)
            return;
        Patterns(common_);
    }

    void AddPattern(const std::string& section, const std::string& key,
                    const std::string& value) {
        const std::string upper = SkinUpperCase(value);
        if (!Contains(upper, ".JPG") && !Contains(upper, ".JPEG"))
            return;
        std::optional<std::vector<std::uint8_t>> bytes = pictures_.Find(value);
        if (!bytes)
            return;
        std::optional<TBitmap> picture = ReadJPEGPicture(*bytes);
        if (!picture)
            return;
        if (std::int64_t(picture->Width()) * picture->Height() >= PatternMinPixels) {
            model_.PatternTable.push_back(
                {std::make_shared<const TBitmap>(std::move(*picture)), SkinUpperCase(section),
                 SkinUpperCase(key)});
            return;
        }
        TsMaskData mask = NewMask(SkinUpperCase(section), SkinUpperCase(key));
        mask.ImgType = itisaTexture;
        mask.ImageCount = 1;
        mask.SourceRect = {0, 0, picture->Width(), picture->Height()};
        mask.Image = std::make_unique<TBitmap>(To24Bit(std::move(*picture)));
        model_.MaskTable.push_back(std::move(mask));
    }

    // ---- sections --------------------------------------------------------------------

    void Sections(const TsOptionsFile& options) {
        ReadGlobals(options);
        TInheritedReader reader(options);
        for (const TsOptionsFile::TSection& section : options.Sections()) {
            TsGeneralData record;
            record.SectionName = section.Name;
            record.ParentClass = options.ReadString(section.Name, "PARENTCLASS", "");
            ReadRecord(TInheritedValues(reader, section.Name), record);
            ParseGradients(record);
            model_.SectionTable.push_back(std::move(record));
        }
    }

    void ReadGlobals(const TsOptionsFile& options) {
        TsSkinData& data = model_.SkinData;
        auto text = [&](const char* key, const char* fallback) {
            return options.ReadString(GlobalSection, key, fallback);
        };
        auto lenient = [&](const char* key) { return ReadLenientInteger(text(key, ""), 0); };
        auto strict = [&](const char* key, const char* fallback) {
            return StrictInteger(text(key, fallback));
        };
        data.Version = ParseFraction(text("VERSION", "0"), 0);
        data.Author = text("AUTHOR", "");
        data.Description = text("DESCRIPTION", "");
        data.Shadow1Color = TColor(lenient("SHADOW1COLOR"));
        data.Shadow1Offset = strict("SHADOW1OFFSET", "0");
        data.Shadow1Blur = strict("SHADOW1BLUR", "-1");
        data.Shadow1Transparency = strict("SHADOW1TRANSPARENCY", "0");
        data.BorderColor = TColor(lenient("BORDERCOLOR"));
        data.BISpace = lenient("BISPACE");
        data.BIVAlign = lenient("BIVALIGN");
        data.BIRight = lenient("BIRIGHT");
        data.BILeft = lenient("BILEFT");
        data.CloseGlowCount = strict("BICONCLOSEGLOW", "0");
        data.CloseGlowMargin = strict("BICONCLOSEGLOWMARGIN", "0");
        data.MaxGlowCount = strict("BICONMAXGLOW", "0");
        data.MaxGlowMargin = strict("BICONMAXGLOWMARGIN", "0");
        data.MinGlowCount = strict("BICONMINGLOW", "0");
        data.MinGlowMargin = strict("BICONMINGLOWMARGIN", "0");
        CheckVersion();
    }

    void CheckVersion() const {
        if (model_.SkinData.Version > NewestSkinVersion && source_.Inform)
            source_.Inform(NewerSkinVersionMessage);
    }

    void CommonSections() {
        if (!has_common_)
            return;
        for (const TsOptionsFile::TSection& section : common_.Sections()) {
            const int existing = model_.FindSection(section.Name);
            if (existing < 0) {
                TsGeneralData record;
                const std::string parent = common_.ReadString(section.Name, "PARENTCLASS", "");
                for (const TsGeneralData& candidate : model_.SectionTable)
                    if (!parent.empty() && SameSkinName(candidate.SectionName, parent)) {
                        record = candidate;
                        break;
                    }
                record.SectionName = section.Name;
                record.ParentClass = parent;
                record.BordersMaskIndex = record.CornerTopLeftIndex = record.CornerTopRightIndex =
                    record.CornerBottomLeftIndex = record.CornerBottomRightIndex = -1;
                model_.SectionTable.push_back(std::move(record));
            }
            TsGeneralData& record =
                model_.SectionTable[std::size_t(existing < 0 ? int(model_.SectionTable.size()) - 1
                                                             : existing)];
            const std::string parent = common_.ReadString(section.Name, "PARENTCLASS", "?");
            if (parent != "?")
                record.ParentClass = parent;
            ReadRecord(TWrittenValues(section), record);
            ParseGradients(record);
        }
    }

    // ---- an unpacked stored skin ------------------------------------------------------

    void StoredMasks(const TsStoredSkin& stored) {
        if (!stored.MasterBitmap.Empty())
            SetMaster(stored.MasterBitmap.Clone());
        for (const TsSkinImage& image : stored.Images) {
            TMaskDescriptor descriptor;
            descriptor.ImageCount = image.ImageCount;
            descriptor.MaskType = image.MaskType;
            descriptor.BorderWidth = image.BorderWidth;
            descriptor.StretchMode = image.StretchMode;
            descriptor.ImgType = image.ImgType;
            descriptor.WL = image.WL;
            descriptor.WT = image.WT;
            descriptor.WR = image.WR;
            descriptor.WB = image.WB;
            if (descriptor.ImageCount == 0) {
                descriptor.ImageCount = 3;
                descriptor.MaskType = 1;
            }
            if (descriptor.ImageCount < 0 || descriptor.MaskType < 0 ||
                descriptor.ImgType > itisaGlow)
                continue;
            const bool own = image.Image && !image.Image->Empty() && !image.Name.empty();
            if (own) {
                descriptor.SourceRect = {0, 0, image.Image->Width(), image.Image->Height()};
            } else {
                descriptor.SourceRect = {image.Left, image.Top, image.Right, image.Bottom};
                if (model_.MasterBitmap.Empty() ||
                    !RectInside(descriptor.SourceRect, model_.MasterBitmap))
                    continue;
            }
            ApplyDefaultMargins(descriptor, descriptor.SourceRect.Width(),
                                descriptor.SourceRect.Height());
            TsMaskData mask = NewMask(SkinUpperCase(image.SectionName),
                                      SkinUpperCase(image.PropertyName));
            CopyDescriptor(descriptor, mask);
            if (own)
                mask.Image = std::make_unique<TBitmap>(To24Bit(image.Image->Clone()));
            model_.MaskTable.push_back(std::move(mask));
        }
    }

    void StoredPatterns(const TsStoredSkin& stored) {
        for (const TsSkinPattern& pattern : stored.Patterns) {
            std::shared_ptr<const TBitmap> picture = pattern.Image;
            if (!picture || picture->Empty()) {
                picture = nullptr;
                for (const TsSkinPattern& other : stored.Patterns)
                    if (&other != &pattern && other.Name == pattern.Name && other.Image &&
                        !other.Image->Empty()) {
                        picture = other.Image;
                        break;
                    }
            }
            // A pattern with no picture anywhere is no pattern: painters never meet an empty one.
            if (!picture)
                continue;
            model_.PatternTable.push_back({picture, SkinUpperCase(pattern.SectionName),
                                           SkinUpperCase(pattern.PropertyName)});
        }
    }

    static TsTextColors StoredTextColors(const std::string& text) {
        TsTextColors colors;
        std::vector<std::string> words;
        std::string word;
        for (char c : text + ";") {
            if (c == ';') {
                if (!word.empty())
                    words.push_back(word);
                word.clear();
            } else {
                word += c;
            }
        }
        if (words.size() != 5)
            return colors;
        TColor* fields[] = {&colors.Color, &colors.TCLeft, &colors.TCTop, &colors.TCRight,
                            &colors.TCBottom};
        for (std::size_t i = 0; i < 5; ++i)
            *fields[i] = TColor(ReadLenientInteger(words[i], i == 0 ? 0 : Absent));
        return colors;
    }

    void StoredSections(const TsStoredSkin& stored) {
        TsSkinData& data = model_.SkinData;
        data.Version = stored.Version;
        data.Author = stored.Author;
        data.Description = stored.Description;
        data.Shadow1Color = stored.Shadow1Color;
        data.Shadow1Offset = stored.Shadow1Offset;
        data.Shadow1Blur = stored.Shadow1Blur;
        data.Shadow1Transparency = stored.Shadow1Transparency;
        data.BorderColor = stored.BorderColor;
        CheckVersion();
        for (const TsSkinGeneral& general : stored.GeneralData) {
            TsGeneralData record;
            record.SectionName = general.SectionName;
            record.ParentClass = general.ParentClass;
            record.Color = general.Color;
            record.FontColor = StoredTextColors(general.FontColor);
            record.HotFontColor = StoredTextColors(general.HotFontColor);
            record.GiveOwnFont = general.GiveOwnFont;
            record.GlowCount = general.GlowCount;
            record.GlowMargin = general.GlowMargin;
            record.ReservedBoolean = general.ReservedBoolean;
            record.Transparency = general.Transparency;
            record.GradientPercent = general.GradientPercent;
            record.GradientData = general.GradientData;
            record.ImagePercent = general.ImagePercent;
            record.ShowFocus = general.ShowFocus;
            record.FadingEnabled = general.FadingEnabled;
            record.FadingIterations = general.FadingIterations;
            record.HotColor = general.HotColor;
            record.HotTransparency = general.HotTransparency;
            record.HotGradientPercent = general.HotGradientPercent;
            record.HotGradientData = general.HotGradientData;
            record.HotImagePercent = general.HotImagePercent;
            ParseGradients(record);
            model_.SectionTable.push_back(std::move(record));
        }
    }

    // ---- the sections' masks -----------------------------------------------------------

    void BindMasks() {
        for (std::size_t i = 0; i < model_.SectionTable.size(); ++i) {
            TsGeneralData& record = model_.SectionTable[i];
            if (record.SectionName == GlobalSection)
                continue;
            const int index = int(i);
            record.BordersMaskIndex = model_.FindMask(index, record.SectionName, "BORDERSMASK");
            record.CornerTopLeftIndex = model_.FindMask(index, record.SectionName, "IMGTOPLEFT");
            record.CornerTopRightIndex = model_.FindMask(index, record.SectionName, "IMGTOPRIGHT");
            record.CornerBottomLeftIndex =
                model_.FindMask(index, record.SectionName, "IMGBTMLEFT");
            record.CornerBottomRightIndex =
                model_.FindMask(index, record.SectionName, "IMGBTMRIGHT");
        }
    }

    const TSkinLoadSource& source_;
    TsSkinModel& model_;
    TPictures pictures_;
    TsOptionsFile common_;
    TsOptionsFile empty_;
    bool has_common_ = false;
};

std::string FolderOf(const std::string& file) {
    const std::size_t slash = file.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

std::string WithSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/')
        folder += '\\';
    return folder;
}

} // namespace

void LoadSkin(TsSkinModel& model, const TSkinLoadSource& source) {
    TsSkinModel loaded;
    loaded.SkinData.SkinFolder = source.Stored ? std::string() : source.SkinFolder;
    TLoader(source, loaded).Run();
    model = std::move(loaded);
}

bool LoadSkinPackageFile(TsSkinModel& model, const ISkinFiles& files, const std::string& file,
                         const TSkinWarning& warn) {
    std::unique_ptr<TacSkinConvertor> package;
    if (!LoadPackageFile(files, file, package, true, warn) || !package)
        return false;
    std::optional<TsOptionsFile> options;
    if (package->OptionsData)
        options.emplace(std::string_view(
            reinterpret_cast<const char*>(package->OptionsData->Bytes().data()),
            package->OptionsData->Bytes().size()));
    TSkinLoadSource source;
    source.Options = options ? &*options : nullptr;
    source.Package = package.get();
    source.SkinFolder = FolderOf(file);
    source.Inform = warn;
    LoadSkin(model, source);
    return true;
}

bool LoadSkinFolder(TsSkinModel& model, const ISkinFiles& files, const std::string& folder,
                    const TSkinWarning& warn) {
    const std::string skin_folder = WithSeparator(folder);
    const std::string options_path = skin_folder + "Options.dat";
    if (!files.FileExists(options_path))
        return false;
    const std::vector<std::uint8_t> bytes = files.ReadFile(options_path);
    const TsOptionsFile options(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    TSkinLoadSource source;
    source.Options = &options;
    source.Files = &files;
    source.SkinFolder = skin_folder;
    source.Inform = warn;
    LoadSkin(model, source);
    return true;
}

} // namespace kalvo
