// skin-dump PATH: loads the skin in a package file or a skin folder as the skin manager
// does and prints its model as JSON: {"global": ..., "sections": [...], "masks": [...],
// "patterns": [...]}. Warnings go to standard error; an error prints its message and exits 1.
#include "skin/skin_loader.h"

#include <charconv>
#include <cstdio>
#include <exception>
#include <string>

using namespace kalvo;

namespace {

// Names and texts are 8-bit; bytes above 127 are written as the code points of the same
// value, so that the output is always valid JSON.
std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

std::string Number(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// Colours are printed as the signed 32-bit values the options file writes (-1: none).
std::string Colour(TColor color) {
    return std::to_string(std::int32_t(color));
}

std::string Bool(bool value) {
    return value ? "true" : "false";
}

class TObject {
public:
    TObject& Add(const char* name, const std::string& json) {
        text_ += (text_.empty() ? "{" : ", ") + Quote(name) + ": " + json;
        return *this;
    }
    std::string Text() const { return text_.empty() ? "{}" : text_ + "}"; }

private:
    std::string text_;
};

template <class List, class Write>
std::string Array(const List& list, Write write, const char* separator = ", ") {
    std::string out = "[";
    bool first = true;
    for (const auto& item : list) {
        if (!first)
            out += separator;
        first = false;
        out += write(item);
    }
    return out + "]";
}

std::string TextColors(const TsTextColors& colors) {
    return TObject()
        .Add("Color", Colour(colors.Color))
        .Add("TCLeft", Colour(colors.TCLeft))
        .Add("TCTop", Colour(colors.TCTop))
        .Add("TCRight", Colour(colors.TCRight))
        .Add("TCBottom", Colour(colors.TCBottom))
        .Text();
}

std::string Steps(const TsGradArray& steps) {
    return Array(steps, [](const GradientStep& step) {
        return TObject()
            .Add("Color1", Colour(step.Color1))
            .Add("Color2", Colour(step.Color2))
            .Add("Percent", std::to_string(step.Percent))
            .Add("Mode", std::to_string(step.Mode))
            .Text();
    });
}

std::string Global(const TsSkinData& data) {
    return TObject()
        .Add("SkinFolder", Quote(data.SkinFolder))
        .Add("Active", Bool(data.Active))
        .Add("Version", Number(data.Version))
        .Add("Author", Quote(data.Author))
        .Add("Description", Quote(data.Description))
        .Add("Shadow1Color", Colour(data.Shadow1Color))
        .Add("Shadow1Offset", std::to_string(data.Shadow1Offset))
        .Add("Shadow1Blur", std::to_string(data.Shadow1Blur))
        .Add("Shadow1Transparency", std::to_string(data.Shadow1Transparency))
        .Add("BorderColor", Colour(data.BorderColor))
        .Add("BISpace", std::to_string(data.BISpace))
        .Add("BIVAlign", std::to_string(data.BIVAlign))
        .Add("BIRight", std::to_string(data.BIRight))
        .Add("BILeft", std::to_string(data.BILeft))
        .Add("CloseGlowCount", std::to_string(data.CloseGlowCount))
        .Add("CloseGlowMargin", std::to_string(data.CloseGlowMargin))
        .Add("MaxGlowCount", std::to_string(data.MaxGlowCount))
        .Add("MaxGlowMargin", std::to_string(data.MaxGlowMargin))
        .Add("MinGlowCount", std::to_string(data.MinGlowCount))
        .Add("MinGlowMargin", std::to_string(data.MinGlowMargin))
        .Text();
}

std::string Section(const TsGeneralData& d) {
    return TObject()
        .Add("ParentClass", Quote(d.ParentClass))
        .Add("SectionName", Quote(d.SectionName))
        .Add("Color", Colour(d.Color))
        .Add("FontColor", TextColors(d.FontColor))
        .Add("HotFontColor", TextColors(d.HotFontColor))
        .Add("GiveOwnFont", Bool(d.GiveOwnFont))
        .Add("GlowCount", std::to_string(d.GlowCount))
        .Add("GlowMargin", std::to_string(d.GlowMargin))
        .Add("ReservedBoolean", Bool(d.ReservedBoolean))
        .Add("Transparency", std::to_string(d.Transparency))
        .Add("GradientPercent", std::to_string(d.GradientPercent))
        .Add("GradientData", Quote(d.GradientData))
        .Add("GradientSteps", Steps(d.GradientSteps))
        .Add("ImagePercent", std::to_string(d.ImagePercent))
        .Add("ShowFocus", Bool(d.ShowFocus))
        .Add("FadingEnabled", Bool(d.FadingEnabled))
        .Add("FadingIterations", std::to_string(d.FadingIterations))
        .Add("HotColor", Colour(d.HotColor))
        .Add("HotTransparency", std::to_string(d.HotTransparency))
        .Add("HotGradientPercent", std::to_string(d.HotGradientPercent))
        .Add("HotGradientData", Quote(d.HotGradientData))
        .Add("HotGradientSteps", Steps(d.HotGradientSteps))
        .Add("HotImagePercent", std::to_string(d.HotImagePercent))
        .Add("BordersMaskIndex", std::to_string(d.BordersMaskIndex))
        .Add("CornerTopLeftIndex", std::to_string(d.CornerTopLeftIndex))
        .Add("CornerTopRightIndex", std::to_string(d.CornerTopRightIndex))
        .Add("CornerBottomLeftIndex", std::to_string(d.CornerBottomLeftIndex))
        .Add("CornerBottomRightIndex", std::to_string(d.CornerBottomRightIndex))
        .Text();
}

std::string Mask(const TsMaskData& m) {
    const TRect& r = m.SourceRect;
    return TObject()
        .Add("SectionName", Quote(m.SectionName))
        .Add("PropertyName", Quote(m.PropertyName))
        .Add("SourceRect", "[" + std::to_string(r.Left) + ", " + std::to_string(r.Top) + ", " +
                               std::to_string(r.Right) + ", " + std::to_string(r.Bottom) + "]")
        .Add("ImageCount", std::to_string(m.ImageCount))
        .Add("MaskType", std::to_string(m.MaskType))
        .Add("BorderWidth", std::to_string(m.BorderWidth))
        .Add("StretchMode", std::to_string(m.StretchMode))
        .Add("ImgType", Quote(ImgTypeName(m.ImgType)))
        .Add("WL", std::to_string(m.WL))
        .Add("WT", std::to_string(m.WT))
        .Add("WR", std::to_string(m.WR))
        .Add("WB", std::to_string(m.WB))
        .Add("HasImage", Bool(m.Image != nullptr))
        .Text();
}

std::string Pattern(const TsPatternData& p) {
    const int width = p.Image ? p.Image->Width() : 0;
    const int height = p.Image ? p.Image->Height() : 0;
    return TObject()
        .Add("SectionName", Quote(p.SectionName))
        .Add("PropertyName", Quote(p.PropertyName))
        .Add("Width", std::to_string(width))
        .Add("Height", std::to_string(height))
        .Text();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: skin-dump PATH (a skin package file or a skin folder)\n");
        return 2;
    }
    const std::string path = argv[1];
    const TStdSkinFiles files;
    const TSkinWarning warn = [](const std::string& text) {
        std::fprintf(stderr, "skin-dump: %s\n", text.c_str());
    };
    TsSkinModel model;
    try {
        bool loaded = false;
        if (files.DirectoryExists(path)) {
            loaded = LoadSkinFolder(model, files, path, warn);
            if (!loaded)
                std::fprintf(stderr, "skin-dump: %s holds no Options.dat\n", path.c_str());
        } else if (files.FileExists(path)) {
            loaded = LoadSkinPackageFile(model, files, path, warn);
        } else {
            std::fprintf(stderr, "skin-dump: %s: no such file or folder\n", path.c_str());
        }
        if (!loaded)
            return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "skin-dump: %s: %s\n", path.c_str(), error.what());
        return 1;
    }
    // The manager makes a loaded skin active.
    model.SkinData.Active = true;
    const std::string json =
        TObject()
            .Add("global", Global(model.SkinData))
            .Add("sections", Array(model.SectionTable, Section, ",\n  "))
            .Add("masks", Array(model.MaskTable, Mask, ",\n  "))
            .Add("patterns", Array(model.PatternTable, Pattern, ",\n  "))
            .Text();
    std::fputs(json.c_str(), stdout);
    std::fputs("\n", stdout);
    return 0;
}
