// skin-paint: the skin painters on the command line, for skin authors and tests.
//
//     skin-paint gradient DATA WIDTH HEIGHT OUT.bmp [--fill 0xBBGGRR] [--rect L,T,R,B]
//
// A 24-bit bitmap filled with the fill colour (default 0) gets PaintGradient over the
// rectangle (default: the whole bitmap) with the steps of DATA, a GRADIENTDATA value, and is
// written as a 24-bit BMP. Errors (bad numbers, a DATA word that is no integer, a file that
// cannot be written) print one line and end with exit code 1.
#include "imaging/bmp_codec.h"
#include "imaging/file_bytes.h"
#include "render/gradient.h"
#include "skin/gradient_data.h"

#include <charconv>
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace kalvo;

// The largest bitmap side the tool makes; enough for any control, small enough for memory.
constexpr int MaxSide = 16384;

int ToInteger(std::string_view text, const char* what, int base = 10) {
    int value = 0;
    if (base == 16 && (text.starts_with("0x") || text.starts_with("0X")))
        text.remove_prefix(2);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        throw std::invalid_argument(std::string(what) + " is not a number: \"" +
                                    std::string(text) + "\"");
    return value;
}

int Side(std::string_view text, const char* what) {
    const int value = ToInteger(text, what);
    if (value < 1 || value > MaxSide)
        throw std::invalid_argument(std::string(what) + " must lie between 1 and " +
                                    std::to_string(MaxSide));
    return value;
}

TRect ToRect(std::string_view text) {
    std::vector<int> numbers;
    while (true) {
        const std::size_t comma = text.find(',');
        numbers.push_back(ToInteger(text.substr(0, comma), "--rect"));
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    if (numbers.size() != 4)
        throw std::invalid_argument("--rect takes four numbers: L,T,R,B");
    return {numbers[0], numbers[1], numbers[2], numbers[3]};
}

void FillBitmap(TBitmap& bitmap, TColor color) {
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            row[3 * x] = std::uint8_t(color >> 16);
            row[3 * x + 1] = std::uint8_t(color >> 8);
            row[3 * x + 2] = std::uint8_t(color);
        }
    }
}

int Gradient(const std::vector<std::string_view>& args) {
    if (args.size() < 4)
        throw std::invalid_argument(
            "usage: skin-paint gradient DATA WIDTH HEIGHT OUT.bmp [--fill 0xBBGGRR] [--rect L,T,R,B]");
    const TsGradArray steps = ParseGradientData(args[0]);
    TBitmap bitmap(Side(args[1], "WIDTH"), Side(args[2], "HEIGHT"), pf24bit);
    TColor fill = 0;
    TRect rect{0, 0, bitmap.Width(), bitmap.Height()};
    for (std::size_t i = 4; i < args.size(); i += 2) {
        if (i + 1 >= args.size())
            throw std::invalid_argument(std::string(args[i]) + " needs a value");
        if (args[i] == "--fill")
            fill = TColor(ToInteger(args[i + 1], "--fill", 16)) & 0xFFFFFF;
        else if (args[i] == "--rect")
            rect = ToRect(args[i + 1]);
        else
            throw std::invalid_argument("unknown option " + std::string(args[i]));
    }
    FillBitmap(bitmap, fill);
    PaintGradient(bitmap, rect, steps);
    WriteFileBytes(std::string(args[3]), WriteBMP(bitmap));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    try {
        if (!args.empty() && args[0] == "gradient")
            return Gradient({args.begin() + 1, args.end()});
        throw std::invalid_argument("usage: skin-paint gradient DATA WIDTH HEIGHT OUT.bmp "
                                    "[--fill 0xBBGGRR] [--rect L,T,R,B]");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "skin-paint: %s\n", error.what());
        return 1;
    }
}
