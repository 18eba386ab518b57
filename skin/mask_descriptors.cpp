#include "skin/mask_descriptors.h"

#include "skin/skin_error.h"
#include "skin/skin_text.h"

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

namespace kalvo {
namespace {

using Number = std::int64_t;

// Magnitudes are read up to this and saturate there: large enough to tell any value that
// does not fit a field from one that does, small enough never to overflow.
constexpr Number kSaturated = Number{1} << 40;

[[noreturn]] void NotAnInteger(std::string_view text) {
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
}

// A number in a fixed-position field: digits only, no sign, no blanks.
Number DigitField(std::string_view value, std::size_t position, std::size_t length) {
    const std::string_view field = value.substr(position - 1, length);
    Number result = 0;
    for (char c : field) {
        if (!IsSkinDigit(c))
            NotAnInteger(field);
        result = result * 10 + (c - '0');
    }
    return result;
}

// A number in a separated field: an optional sign and decimal digits (saturating).
Number SignedField(std::string_view field) {
    std::string_view digits = field;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty())
        NotAnInteger(field);
    Number result = 0;
    for (char c : digits) {
        if (!IsSkinDigit(c))
            NotAnInteger(field);
        result = result * 10 + (c - '0');
        if (result > kSaturated)
            result = kSaturated;
    }
    return negative ? -result : result;
}

bool Fits16(Number n) {
    return n >= std::numeric_limits<std::int16_t>::min() &&
           n <= std::numeric_limits<std::int16_t>::max();
}

bool Fits32(Number n) {
    return n >= std::numeric_limits<std::int32_t>::min() &&
           n <= std::numeric_limits<std::int32_t>::max();
}

// Reads Left, Top, Right and Bottom; false when one does not fit, is negative, or the
// rectangle is inverted.
bool SetSourceRect(TMaskDescriptor& mask, Number left, Number top, Number right, Number bottom) {
    for (Number n : {left, top, right, bottom})
        if (n < 0 || !Fits32(n))
            return false;
    if (right < left || bottom < top)
        return false;
    mask.SourceRect = TRect{static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
                            static_cast<std::int32_t>(right), static_cast<std::int32_t>(bottom)};
    return true;
}

// Positions 2-5, 7-10, 12-15, 17-20 of "@", "^" and "~": Left, Top, Right, Bottom.
struct FixedRect {
    Number Left, Top, Right, Bottom;
};
FixedRect ReadFixedRect(std::string_view value) {
    return {DigitField(value, 2, 4), DigitField(value, 7, 4), DigitField(value, 12, 4),
            DigitField(value, 17, 4)};
}
bool SetSourceRect(TMaskDescriptor& mask, const FixedRect& r) {
    return SetSourceRect(mask, r.Left, r.Top, r.Right, r.Bottom);
}

// Every field is read (and may throw) before the value is judged.
std::optional<TMaskDescriptor> ParseGlyph(std::string_view value) {
    if (value.size() < 24)
        return std::nullopt;
    TMaskDescriptor mask;
    mask.Kind = TMaskValueKind::Glyph;
    mask.ImgType = itisaGlyph;
    const FixedRect rect = ReadFixedRect(value);
    mask.ImageCount = static_cast<std::int16_t>(DigitField(value, 22, 1));
    mask.MaskType = static_cast<std::int16_t>(DigitField(value, 24, 1));
    if (!SetSourceRect(mask, rect) || mask.ImageCount <= 0)
        return std::nullopt;
    return mask;
}

std::optional<TMaskDescriptor> ParseBorder(std::string_view value) {
    if (value.size() < 48)
        return std::nullopt;
    TMaskDescriptor mask;
    mask.Kind = TMaskValueKind::Border;
    mask.ImgType = itisaBorder;
    const FixedRect rect = ReadFixedRect(value);
    mask.WL = static_cast<std::int16_t>(DigitField(value, 22, 4));
    mask.WT = static_cast<std::int16_t>(DigitField(value, 27, 4));
    mask.WR = static_cast<std::int16_t>(DigitField(value, 32, 4));
    mask.WB = static_cast<std::int16_t>(DigitField(value, 37, 4));
    mask.ImageCount = static_cast<std::int16_t>(DigitField(value, 42, 1));
    mask.MaskType = static_cast<std::int16_t>(DigitField(value, 44, 1));
    mask.StretchMode = static_cast<std::int16_t>(DigitField(value, 46, 1));
    mask.BorderWidth = static_cast<std::int16_t>(DigitField(value, 48, 1));
    if (!SetSourceRect(mask, rect) || mask.ImageCount <= 0)
        return std::nullopt;
    return mask;
}

// "~": the last field the texture needs is StretchMode at 22-23; MaskType at 25 is read
// only from a value longer than 24 characters.
std::optional<TMaskDescriptor> ParseTexture(std::string_view value) {
    if (value.size() < 23)
        return std::nullopt;
    TMaskDescriptor mask;
    mask.Kind = TMaskValueKind::Texture;
    mask.ImgType = itisaTexture;
    mask.ImageCount = 1;
    const FixedRect rect = ReadFixedRect(value);
    mask.StretchMode = static_cast<std::int16_t>(DigitField(value, 22, 2));
    if (value.size() > 24)
        mask.MaskType = static_cast<std::int16_t>(DigitField(value, 25, 1));
    if (!SetSourceRect(mask, rect))
        return std::nullopt;
    return mask;
}

// Splits at runs of any of `separators`; no empty pieces.
std::vector<std::string_view> SplitRuns(std::string_view text, std::string_view separators) {
    std::vector<std::string_view> pieces;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = text.find_first_not_of(separators, pos);
        if (start == std::string_view::npos)
            break;
        std::size_t end = text.find_first_of(separators, start);
        if (end == std::string_view::npos)
            end = text.size();
        pieces.push_back(text.substr(start, end - start));
        pos = end;
    }
    return pieces;
}

// "!NAME.PNG!ImageCount!MaskType!ImgType[!WL!WT!WR!WB]". Numbers may carry a sign and
// blanks around them. A value with fewer than four fields names no complete mask and
// yields none. With five to seven fields the margins not written are 0.
std::optional<TMaskDescriptor> ParseExternal(std::string_view value) {
    const std::vector<std::string_view> fields = SplitRuns(value, "!");
    if (fields.size() < 4)
        return std::nullopt;
    const std::string_view name = TrimSkinText(fields[0]);
    // The name is matched as written: a lower-case extension does not count.
    if (name.find(".BMP") == std::string_view::npos && name.find(".PNG") == std::string_view::npos)
        return std::nullopt;

    Number numbers[7] = {0, 0, 0, 0, 0, 0, 0};  // ImageCount, MaskType, ImgType, WL..WB
    for (std::size_t i = 1; i < fields.size() && i <= 7; ++i)
        numbers[i - 1] = SignedField(TrimSkinText(fields[i]));
    const Number image_count = numbers[0];
    const Number mask_type = numbers[1];
    const Number img_type = numbers[2];
    if (image_count <= 0 || mask_type < 0 || img_type < 0)
        return std::nullopt;
    // ImgType only needs to be an ordinal (larger ones count as the last); the others are
    // 16-bit fields.
    for (std::size_t i : {0, 1, 3, 4, 5, 6})
        if (!Fits16(numbers[i]))
            return std::nullopt;

    TMaskDescriptor mask;
    mask.Kind = TMaskValueKind::External;
    mask.FileName = std::string(name);
    mask.StretchMode = 4;
    mask.ImageCount = static_cast<std::int16_t>(image_count);
    mask.MaskType = static_cast<std::int16_t>(mask_type);
    mask.ImgType = static_cast<TacImgType>(img_type > 3 ? 3 : img_type);
    if (fields.size() >= 5) {
        mask.MarginsGiven = true;
        mask.WL = static_cast<std::int16_t>(numbers[3]);
        mask.WT = static_cast<std::int16_t>(numbers[4]);
        mask.WR = static_cast<std::int16_t>(numbers[5]);
        mask.WB = static_cast<std::int16_t>(numbers[6]);
    }
    return mask;
}

// The legacy form, e.g. "#MASTER (10,20,30,40) (3,1,2,1)".
//
// Its words are separated by blanks and parentheses, and the numbers inside a word by commas
// or blanks. To let blanks separate numbers too, a parenthesised group is one word as a
// whole, whatever it holds; outside parentheses a word is a run of characters that are
// neither blanks nor parentheses. So "#MASTER (10, 20, 30, 40) (3, 1)", "#M(10,20,30,40)(3,1)"
// and "#M 10,20,30,40 3,1" all read the same. An unclosed "(" runs to the end of the value.
std::vector<std::string_view> LegacyWords(std::string_view value) {
    std::vector<std::string_view> words;
    std::size_t pos = 0;
    while (pos < value.size()) {
        const char c = value[pos];
        if (c == '(') {
            std::size_t end = value.find(')', pos + 1);
            if (end == std::string_view::npos)
                end = value.size();
            words.push_back(value.substr(pos + 1, end - pos - 1));
            pos = end + 1;
        } else if (c == ')' || IsSkinBlank(c)) {
            ++pos;
        } else {
            std::size_t end = pos;
            while (end < value.size() && value[end] != '(' && value[end] != ')' &&
                   !IsSkinBlank(value[end]))
                ++end;
            words.push_back(value.substr(pos, end - pos));
            pos = end;
        }
    }
    return words;
}

std::vector<Number> LegacyNumbers(std::string_view word) {
    std::vector<Number> numbers;
    for (std::string_view piece : SplitRuns(word, " \t,"))
        numbers.push_back(SignedField(piece));
    return numbers;
}

// Word 2 must hold the four corners. Word 3 holds ImageCount, MaskType, BorderWidth and
// StretchMode; what it lacks (or the whole word) takes the form's defaults: ImageCount 1,
// MaskType 0, BorderWidth 0, StretchMode 1.
std::optional<TMaskDescriptor> ParseLegacy(std::string_view value) {
    const std::vector<std::string_view> words = LegacyWords(value);
    if (words.size() < 2)
        return std::nullopt;
    // Any text may hold a "#" (a description, an author's note): words that are not numbers
    // make it no mask rather than an error that would cost the whole skin.
    std::vector<Number> rect;
    std::vector<Number> counts;
    try {
        rect = LegacyNumbers(words[1]);
        if (words.size() >= 3)
            counts = LegacyNumbers(words[2]);
    } catch (const EConvertError&) {
        return std::nullopt;
    }
    if (rect.size() < 4)
        return std::nullopt;

    TMaskDescriptor mask;
    mask.Kind = TMaskValueKind::Legacy;
    mask.ImgType = itisaBorder;
    if (!SetSourceRect(mask, rect[0], rect[1], rect[2], rect[3]))
        return std::nullopt;
    const Number image_count = counts.size() > 0 ? counts[0] : 1;
    const Number mask_type = counts.size() > 1 ? counts[1] : 0;
    const Number border_width = counts.size() > 2 ? counts[2] : 0;
    const Number stretch_mode = counts.size() > 3 ? counts[3] : 1;
    for (Number n : {image_count, mask_type, border_width, stretch_mode})
        if (!Fits16(n))
            return std::nullopt;
    mask.ImageCount = static_cast<std::int16_t>(image_count < 1 ? 1 : image_count);
    mask.MaskType = static_cast<std::int16_t>(mask_type < 0 ? 0 : mask_type);
    mask.BorderWidth = static_cast<std::int16_t>(border_width < 0 ? 0 : border_width);
    mask.StretchMode = static_cast<std::int16_t>(stretch_mode);
    return mask;
}

std::int16_t Clamp16(Number n) {
    if (n < std::numeric_limits<std::int16_t>::min())
        return std::numeric_limits<std::int16_t>::min();
    if (n > std::numeric_limits<std::int16_t>::max())
        return std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(n);
}

} // namespace

const char* ImgTypeName(TacImgType type) {
    switch (type) {
    case itisaBorder:
        return "itisaBorder";
    case itisaTexture:
        return "itisaTexture";
    case itisaGlyph:
        return "itisaGlyph";
    case itisaGlow:
        return "itisaGlow";
    }
    return "?";
}

TMaskValueKind ClassifyMaskValue(std::string_view value) {
    if (value.empty())
        return TMaskValueKind::NotAMask;
    switch (value.front()) {
    case '@':
        return TMaskValueKind::Glyph;
    case '^':
        return TMaskValueKind::Border;
    case '~':
        return TMaskValueKind::Texture;
    case '!':
        return TMaskValueKind::External;
    default:
        break;
    }
    const std::string upper = SkinUpperCase(value);
    const bool has_hash = upper.find('#') != std::string::npos;
    constexpr std::size_t none = std::string::npos;
    const std::size_t bmp = upper.rfind(".BMP");
    std::size_t jpg = upper.rfind(".JPG");
    const std::size_t jpeg = upper.rfind(".JPEG");
    if (jpg == none || (jpeg != none && jpeg > jpg))
        jpg = jpeg;
    // A name holding both extensions ("SKY.BMP.JPG") is the kind its last one says.
    if (bmp != none && !has_hash && (jpg == none || bmp > jpg))
        return TMaskValueKind::BitmapFile;
    if (jpg != none)
        return TMaskValueKind::JPEGFile;
    if (has_hash && value != "#")
        return TMaskValueKind::Legacy;
    return TMaskValueKind::NotAMask;
}

std::optional<TMaskDescriptor> ParseMaskDescriptor(std::string_view value) {
    switch (ClassifyMaskValue(value)) {
    case TMaskValueKind::Glyph:
        return ParseGlyph(value);
    case TMaskValueKind::Border:
        return ParseBorder(value);
    case TMaskValueKind::Texture:
        return ParseTexture(value);
    case TMaskValueKind::External:
        return ParseExternal(value);
    case TMaskValueKind::Legacy:
        return ParseLegacy(value);
    case TMaskValueKind::BitmapFile: {
        // A whole bitmap: three state images over one mask row.
        TMaskDescriptor mask;
        mask.Kind = TMaskValueKind::BitmapFile;
        mask.FileName = std::string(value);
        mask.ImageCount = 3;
        mask.MaskType = 1;
        mask.ImgType = itisaBorder;
        return mask;
    }
    case TMaskValueKind::JPEGFile: {
        // A pattern, or a texture mask when the picture is small.
        TMaskDescriptor mask;
        mask.Kind = TMaskValueKind::JPEGFile;
        mask.FileName = std::string(value);
        mask.ImageCount = 1;
        mask.ImgType = itisaTexture;
        return mask;
    }
    case TMaskValueKind::NotAMask:
        break;
    }
    return std::nullopt;
}

void ApplyDefaultMargins(TMaskDescriptor& mask, int width, int height) {
    // Margins count as not given only when all four are 0 (negative margins cannot cancel
    // positive ones into "none").
    if (mask.WL != 0 || mask.WT != 0 || mask.WR != 0 || mask.WB != 0)
        return;
    if (mask.BorderWidth != 0) {
        mask.WL = mask.WT = mask.WR = mask.WB = mask.BorderWidth;
        return;
    }
    // A malformed count must not divide by zero.
    const Number image_count = mask.ImageCount < 1 ? 1 : mask.ImageCount;
    const Number mask_type = mask.MaskType < 0 ? 0 : mask.MaskType;
    const std::int16_t horizontal = Clamp16(Number{width} / (image_count * 3));
    const std::int16_t vertical = Clamp16(Number{height} / ((mask_type + 1) * 3));
    mask.WL = mask.WR = horizontal;
    mask.WT = mask.WB = vertical;
}

} // namespace kalvo
