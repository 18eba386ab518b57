#include "app/framework/controls/image.h"
#include "app/framework/controls/label.h"
#include "app/framework/controls/panel.h"
#include "app/framework/form.h"
#include "imaging/bmp_codec.h"
#include "imaging/graphic_error.h"
#include "imaging/window_capture_win32.h"
#include "tests/framework/support/framework_fixture.h"

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace kalvo {
namespace {

// Pixels of an area of a picture that pass a test.
int CountPixels(const TBitmap& image, const RECT& area, const std::function<bool(TColor)>& test) {
    int count = 0;
    for (int y = std::max<int>(area.top, 0); y < std::min<int>(area.bottom, image.Height()); ++y)
        for (int x = std::max<int>(area.left, 0); x < std::min<int>(area.right, image.Width()); ++x)
            if (test(image.Pixel(x, y)))
                ++count;
    return count;
}

bool Near(TColor a, TColor b, int tolerance) {
    return std::abs(RedOf(a) - RedOf(b)) <= tolerance &&
           std::abs(GreenOf(a) - GreenOf(b)) <= tolerance &&
           std::abs(BlueOf(a) - BlueOf(b)) <= tolerance;
}

bool IsDark(TColor c) {
    return RedOf(c) < 90 && GreenOf(c) < 90 && BlueOf(c) < 90;
}

// The smallest rectangle holding the pixels of an area that pass a test (empty if none).
RECT BoundsOf(const TBitmap& image, const RECT& area, const std::function<bool(TColor)>& test) {
    RECT found{area.right, area.bottom, area.left, area.top};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (test(image.Pixel(x, y))) {
                found.left = std::min<LONG>(found.left, x);
                found.top = std::min<LONG>(found.top, y);
                found.right = std::max<LONG>(found.right, x + 1);
                found.bottom = std::max<LONG>(found.bottom, y + 1);
            }
    return found;
}

constexpr TColor White = RGBColor(255, 255, 255);

// A form with a white client area of the given size.
void PrepareForm(TForm& form, int width, int height) {
    form.BorderStyle = bsSingle;
    form.SetColor(White);
    form.SetClientSize(width, height);
}

using PaintedControlsTest = test::FrameworkTest;

// Bevels are rings of lines from the edge inwards: light above and left and dark below and
// right for a raised one, the other way round for a lowered one; inside them, the Color.
TEST_F(PaintedControlsTest, PanelPaintsItsColourAndBevels) {
    const TColor light = ColorToRGB(clBtnHighlight);
    const TColor dark = ColorToRGB(clBtnShadow);
    const TColor fill = RGBColor(200, 220, 100);
    struct Ring {
        TColor top_left, bottom_right;
    };
    struct Case {
        const char* what;
        TPanelBevel outer, inner;
        int width;
        std::vector<Ring> rings;
    };
    const Case cases[] = {
        {"raised", bvRaised, bvNone, 1, {{light, dark}}},
        {"lowered", bvLowered, bvNone, 1, {{dark, light}}},
        {"raised outside, lowered inside", bvRaised, bvLowered, 1, {{light, dark}, {dark, light}}},
        {"lowered inside only", bvNone, bvLowered, 1, {{dark, light}}},
        {"two lines each",
         bvRaised,
         bvLowered,
         2,
         {{light, dark}, {light, dark}, {dark, light}, {dark, light}}},
        {"no bevel", bvNone, bvNone, 1, {}},
    };
    for (const Case& c : cases) {
        TForm form(nullptr);
        PrepareForm(form, 200, 100);
        TPanel panel(&form);
        panel.SetBounds(10, 10, 100, 50);
        panel.SetColor(fill);
        panel.SetBevelOuter(c.outer);
        panel.SetBevelInner(c.inner);
        panel.SetBevelWidth(c.width);
        panel.SetParent(&form);
        form.Show();
        test::PumpMessages();
        const TBitmap pixels = CaptureClient(panel.Handle());
        for (int i = 0; i < int(c.rings.size()); ++i) {
            EXPECT_EQ(pixels.Pixel(i, 25), c.rings[i].top_left) << c.what << ", left, ring " << i;
            EXPECT_EQ(pixels.Pixel(50, i), c.rings[i].top_left) << c.what << ", top, ring " << i;
            EXPECT_EQ(pixels.Pixel(99 - i, 25), c.rings[i].bottom_right)
                << c.what << ", right, ring " << i;
            EXPECT_EQ(pixels.Pixel(50, 49 - i), c.rings[i].bottom_right)
                << c.what << ", bottom, ring " << i;
        }
        const int inset = int(c.rings.size());
        EXPECT_EQ(CountPixels(pixels, {inset, inset, 100 - inset, 50 - inset},
                              [&](TColor p) { return p != fill; }),
                  0)
            << c.what << ": the inside is the Color";
        const RECT client = panel.ClientRect();
        EXPECT_EQ(client.left, inset) << c.what << ": aligned children go inside the bevels";
        EXPECT_EQ(client.bottom, 50 - inset) << c.what;
    }
}

// The caption is centred; a disabled panel shows it in the system's disabled greys.
TEST_F(PaintedControlsTest, PanelCentresItsCaption) {
    TForm form(nullptr);
    PrepareForm(form, 200, 100);
    TPanel panel(&form);
    panel.SetBounds(10, 10, 160, 60);
    panel.SetText(L"Please wait");
    panel.SetParent(&form);
    form.Show();
    for (const bool enabled : {true, false}) {
        panel.SetEnabled(enabled);
        test::PumpMessages();
        const TBitmap pixels = CaptureClient(panel.Handle());
        const RECT inside{2, 2, 158, 58};
        if (enabled) {
            const RECT text = BoundsOf(pixels, inside, IsDark);
            ASSERT_LT(text.left, text.right);
            EXPECT_NEAR((text.left + text.right) / 2.0, 80, 2);
            EXPECT_NEAR((text.top + text.bottom) / 2.0, 30, 3);
        } else {
            EXPECT_EQ(CountPixels(pixels, inside, IsDark), 0);
            EXPECT_GT(
                CountPixels(pixels, inside, [](TColor p) { return p == ColorToRGB(clBtnShadow); }),
                10);
        }
    }
}

// AutoSize measures the text in the label's font: one line as wide as the text, wrapped
// lines in the label's width; a right-aligned label keeps its right edge.
TEST_F(PaintedControlsTest, LabelSizesItselfToItsText) {
    TForm form(nullptr);
    TLabel label(&form);
    label.SetBounds(10, 10, 65, 17);
    label.SetParent(&form);
    const auto extent = [&](const std::wstring& text) {
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, label.Font().Handle());
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        return SIZE{size.cx, metrics.tmHeight};
    };
    for (const wchar_t* text : {L"Install", L"Install for all users of this computer"}) {
        label.SetText(text);
        EXPECT_EQ(label.Width(), extent(text).cx) << text;
        EXPECT_EQ(label.Height(), extent(text).cy) << text;
        EXPECT_EQ(label.Left(), 10);
    }
    const int regular = label.Width();
    label.Font().SetStyle(fsBold);
    EXPECT_GT(label.Width(), regular) << "the font counts";
    label.Font().SetStyle(0);

    label.SetAlignment(taRightJustify);
    const int right = label.Left() + label.Width();
    label.SetText(L"Short");
    EXPECT_EQ(label.Left() + label.Width(), right);
    EXPECT_EQ(label.Width(), extent(L"Short").cx);

    label.SetAlignment(taLeftJustify);
    label.SetWordWrap(true);
    label.SetWidth(60);
    label.SetText(L"one two three four five six seven");
    EXPECT_EQ(label.Width(), 60);
    EXPECT_GE(label.Height(), 3 * extent(L"one").cy);

    label.SetAutoSize(false);
    label.SetBounds(10, 10, 50, 50);
    label.SetText(L"No longer sized");
    EXPECT_EQ(label.Width(), 50);
    EXPECT_EQ(label.Height(), 50);
}

// The text goes where Alignment says; an opaque label fills its Color first, a transparent
// one shows its parent through; disabled text is in the system's greys.
TEST_F(PaintedControlsTest, LabelPaintsItsText) {
    const TColor yellow = RGBColor(255, 240, 0);
    struct Case {
        TAlignment alignment;
        bool transparent;
        bool enabled;
    };
    const Case cases[] = {
        {taLeftJustify, false, true}, {taRightJustify, false, true}, {taCenter, false, true},
        {taLeftJustify, true, true},  {taCenter, true, false},
    };
    for (const Case& c : cases) {
        TForm form(nullptr);
        PrepareForm(form, 200, 60);
        TLabel label(&form);
        label.SetAutoSize(false);
        label.SetBounds(20, 10, 160, 20);
        label.SetText(L"Next");
        label.SetColor(yellow);
        label.SetAlignment(c.alignment);
        label.SetTransparent(c.transparent);
        label.SetEnabled(c.enabled);
        label.SetParent(&form);
        form.Show();
        test::PumpMessages();
        const TBitmap pixels = CaptureClient(form.Handle());
        const RECT area = label.BoundsRect();
        const int yellow_pixels = CountPixels(pixels, area, [&](TColor p) { return p == yellow; });
        if (c.transparent) {
            EXPECT_EQ(yellow_pixels, 0) << "transparent";
        } else {
            EXPECT_GT(yellow_pixels, 160 * 20 / 2) << "opaque";
        }
        if (!c.enabled) {
            EXPECT_EQ(CountPixels(pixels, area, IsDark), 0) << "disabled";
            EXPECT_GT(CountPixels(pixels, area,
                                  [](TColor p) { return Near(p, ColorToRGB(clBtnShadow), 4); }),
                      5)
                << "disabled";
            continue;
        }
        const RECT text = BoundsOf(pixels, area, IsDark);
        ASSERT_LT(text.left, text.right) << "alignment " << int(c.alignment);
        switch (c.alignment) {
        case taLeftJustify:
            EXPECT_LE(text.left, area.left + 3);
            break;
        case taRightJustify:
            EXPECT_GE(text.right, area.right - 3);
            break;
        case taCenter:
            EXPECT_NEAR((text.left + text.right) / 2.0, (area.left + area.right) / 2.0, 2);
            break;
        }
        EXPECT_EQ(CountPixels(pixels, {0, 0, 200, 60}, [&](TColor p) { return p == yellow; }),
                  yellow_pixels)
            << "nothing is painted outside the label";
    }
}

// A picture of 4 x 3 pixels, each of its own colour.
TBitmap Checker() {
    TBitmap picture(4, 3, pf24bit);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            picture.SetPixel(x, y,
                             RGBColor(std::uint8_t(30 + 60 * x), std::uint8_t(40 + 80 * y),
                                      std::uint8_t(200 - 40 * x)));
    return picture;
}

// A BMP file shown at the corner, centred or stretched, pixel for pixel.
TEST_F(PaintedControlsTest, ImageShowsABmpPicture) {
    const std::vector<std::uint8_t> file = WriteBMP(Checker());
    struct Case {
        const char* what;
        bool stretch, center;
        int width, height;
        int scale, offset_x, offset_y;
    };
    const Case cases[] = {
        {"at the corner", false, false, 20, 20, 1, 0, 0},
        {"centred", false, true, 10, 9, 1, 3, 3},
        {"stretched", true, false, 8, 6, 2, 0, 0},
    };
    for (const Case& c : cases) {
        TForm form(nullptr);
        PrepareForm(form, 100, 60);
        TImage image(&form);
        image.SetBounds(10, 10, c.width, c.height);
        image.SetStretch(c.stretch);
        image.SetCenter(c.center);
        image.LoadFromBytes(file);
        image.SetParent(&form);
        EXPECT_TRUE(SamePixels(image.Picture(), Checker()));
        form.Show();
        test::PumpMessages();
        const TBitmap pixels = CaptureClient(form.Handle());
        const TBitmap source = Checker();
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const int sx = (x - c.offset_x) / c.scale;
                const int sy = (y - c.offset_y) / c.scale;
                const bool inside = x >= c.offset_x && y >= c.offset_y && sx < 4 && sy < 3;
                const TColor expected = inside ? source.Pixel(sx, sy) : White;
                ASSERT_EQ(pixels.Pixel(10 + x, 10 + y), expected)
                    << c.what << " at " << x << ", " << y;
            }
    }
}

// A transparent picture leaves its transparent colour out; JPEG files are read too; data that
// is no picture is refused and the picture shown stays.
TEST_F(PaintedControlsTest, ImageTransparencyJpegAndBadData) {
    TForm form(nullptr);
    PrepareForm(form, 100, 60);
    TImage image(&form);
    image.SetBounds(10, 10, 40, 20);
    image.SetParent(&form);
    TBitmap picture = Checker();
    const TColor key = picture.Pixel(1, 1);
    picture.SetTransparent(true);
    picture.SetTransparentColor(key);
    image.SetPicture(std::move(picture));
    form.Show();
    test::PumpMessages();
    TBitmap pixels = CaptureClient(form.Handle());
    EXPECT_EQ(pixels.Pixel(11, 11), White) << "the transparent pixel";
    EXPECT_EQ(pixels.Pixel(12, 11), Checker().Pixel(2, 1));

    // tests/fixtures/blocks.jpg: 32 x 16 pixels in four flat blocks of 16 x 8 (see
    // tests/fixtures/make_fixtures.sh).
    static const std::uint8_t Blocks[] = {
        0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00,
        0x01, 0x00, 0x01, 0x00, 0x00, 0xFF, 0xDB, 0x00, 0x43, 0x00, 0x02, 0x01, 0x01, 0x01, 0x01,
        0x01, 0x02, 0x01, 0x01, 0x01, 0x02, 0x02, 0x02, 0x02, 0x02, 0x04, 0x03, 0x02, 0x02, 0x02,
        0x02, 0x05, 0x04, 0x04, 0x03, 0x04, 0x06, 0x05, 0x06, 0x06, 0x06, 0x05, 0x06, 0x06, 0x06,
        0x07, 0x09, 0x08, 0x06, 0x07, 0x09, 0x07, 0x06, 0x06, 0x08, 0x0B, 0x08, 0x09, 0x0A, 0x0A,
        0x0A, 0x0A, 0x0A, 0x06, 0x08, 0x0B, 0x0C, 0x0B, 0x0A, 0x0C, 0x09, 0x0A, 0x0A, 0x0A, 0xFF,
        0xDB, 0x00, 0x43, 0x01, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x05, 0x03, 0x03, 0x05, 0x0A,
        0x07, 0x06, 0x07, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A,
        0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A,
        0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A,
        0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0xFF, 0xC0, 0x00, 0x11, 0x08, 0x00, 0x10,
        0x00, 0x20, 0x03, 0x01, 0x11, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01, 0xFF, 0xC4, 0x00,
        0x17, 0x00, 0x01, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x08, 0x07, 0x0A, 0xFF, 0xC4, 0x00, 0x14, 0x10, 0x01, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF,
        0xC4, 0x00, 0x1A, 0x01, 0x01, 0x00, 0x01, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x09, 0x05, 0x06, 0x07, 0x08, 0x0A, 0xFF, 0xC4, 0x00,
        0x14, 0x11, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0xFF, 0xDA, 0x00, 0x0C, 0x03, 0x01, 0x00, 0x02, 0x11, 0x03, 0x11,
        0x00, 0x3F, 0x00, 0x9D, 0xD8, 0x1D, 0x2D, 0x00, 0x37, 0x85, 0x1D, 0xCD, 0x38, 0x08, 0x9D,
        0x36, 0x8D, 0x9C, 0x01, 0xD4, 0x42, 0x3F, 0xD7, 0xA0, 0x0F, 0xFF, 0xD9,
    };
    image.SetAutoSize(true);
    image.LoadFromBytes(Blocks);
    EXPECT_EQ(image.Width(), 32);
    EXPECT_EQ(image.Height(), 16);
    test::PumpMessages();
    pixels = CaptureClient(form.Handle());
    struct Block {
        int x, y;
        TColor colour;
    };
    for (const Block block :
         {Block{4, 3, RGBColor(220, 40, 40)}, Block{20, 3, RGBColor(40, 180, 60)},
          Block{4, 12, RGBColor(40, 60, 200)}, Block{20, 12, RGBColor(221, 235, 248)}})
        EXPECT_TRUE(Near(pixels.Pixel(10 + block.x, 10 + block.y), block.colour, 6))
            << block.x << ", " << block.y;

    const std::uint8_t not_a_picture[] = {'G', 'I', 'F', '8', '9', 'a'};
    const std::uint8_t broken_bmp[] = {'B', 'M', 1, 2, 3};
    for (const std::span<const std::uint8_t> bad :
         {std::span<const std::uint8_t>(not_a_picture), std::span<const std::uint8_t>(broken_bmp),
          std::span<const std::uint8_t>()}) {
        EXPECT_THROW(image.LoadFromBytes(bad), EInvalidGraphic);
        EXPECT_EQ(image.Picture().Width(), 32);
    }
}

} // namespace
} // namespace kalvo
