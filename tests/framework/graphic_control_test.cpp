#include "app/framework/form.h"
#include "imaging/window_capture_win32.h"
#include "tests/framework/support/framework_fixture.h"

#include <vector>
#include <windowsx.h>

namespace kalvo {
namespace {

// A windowless control that fills itself red, records what reaches it and counts clicks.
class Swatch : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    std::vector<UINT> seen;
    std::vector<POINT> points;

protected:
    void Paint(HDC dc) override {
        // Deliberately larger than the control: the parent clips to the bounds.
        RECT all{-50, -50, 500, 500};
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(dc, &all, red);
        DeleteObject(red);
    }
    void WndProc(TMessage& message) override {
        if (message.Msg != WM_PAINT) {
            seen.push_back(message.Msg);
            if (message.Msg >= WM_MOUSEFIRST && message.Msg <= WM_MOUSELAST)
                points.push_back({GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)});
        }
        TGraphicControl::WndProc(message);
    }
};

using GraphicControlTest = test::FrameworkTest;

TEST_F(GraphicControlTest, PaintsInsideItsBoundsAndGetsItsMouseMessages) {
    TForm form(nullptr);
    form.BorderStyle = bsSingle;
    form.SetColor(RGBColor(255, 255, 255));
    form.SetClientSize(120, 80);
    Swatch swatch(&form);
    swatch.SetBounds(30, 20, 40, 25);
    swatch.SetParent(&form);
    int clicks = 0;
    swatch.OnClick = [&](TComponent*) {
        ++clicks;
    };
    form.Show();
    test::PumpMessages();

    const TBitmap client = CaptureClient(form.Handle());
    EXPECT_EQ(client.Pixel(30, 20), RGBColor(255, 0, 0));
    EXPECT_EQ(client.Pixel(69, 44), RGBColor(255, 0, 0));
    EXPECT_EQ(client.Pixel(29, 20), RGBColor(255, 255, 255)) << "left of the bounds";
    EXPECT_EQ(client.Pixel(70, 30), RGBColor(255, 255, 255)) << "right of the bounds";
    EXPECT_EQ(client.Pixel(40, 45), RGBColor(255, 255, 255)) << "below the bounds";

    // The parent's window gets the mouse; the control gets it in its own coordinates.
    HWND window = form.Handle();
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(35, 25));
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(35, 25));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(36, 26));
    EXPECT_EQ(clicks, 1);
    ASSERT_GE(swatch.points.size(), 3u);
    EXPECT_EQ(swatch.points[0].x, 5);
    EXPECT_EQ(swatch.points[0].y, 5);
    EXPECT_TRUE(swatch.MouseInControl());

    // Outside: no click, and the control hears that the mouse left.
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(100, 70));
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 70));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(100, 70));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(swatch.MouseInControl());
    // Pressed outside and released over it: no click either.
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 70));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(35, 25));
    EXPECT_EQ(clicks, 1);
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(100, 70));
    EXPECT_EQ(swatch.seen.front(), UINT(CM_MOUSEENTER));

    // A message sent straight to the control reaches it though it has no window.
    swatch.seen.clear();
    swatch.Perform(WM_APP + 3);
    ASSERT_EQ(swatch.seen.size(), 1u);
    EXPECT_EQ(swatch.seen[0], UINT(WM_APP + 3));

    // Hidden, it is neither painted nor given the mouse.
    swatch.SetVisible(false);
    test::PumpMessages();
    EXPECT_EQ(CaptureClient(form.Handle()).Pixel(40, 30), RGBColor(255, 255, 255));
}

} // namespace
} // namespace kalvo
