#include "app/framework/controls/bit_btn.h"
#include "app/framework/controls/check_box.h"
#include "app/framework/controls/group_box.h"
#include "app/framework/controls/radio_button.h"
#include "app/framework/controls/speed_button.h"
#include "app/framework/form.h"
#include "imaging/window_capture_win32.h"
#include "tests/framework/support/framework_fixture.h"

#include <array>
#include <cstdlib>
#include <string>
#include <vector>
#include <windowsx.h>

namespace kalvo {
namespace {

// Pixels of an area of a picture that pass a test.
template <class Test> int CountPixels(const TBitmap& image, const RECT& area, Test test) {
    int count = 0;
    for (int y = std::max<int>(area.top, 0); y < std::min<int>(area.bottom, image.Height()); ++y)
        for (int x = std::max<int>(area.left, 0); x < std::min<int>(area.right, image.Width()); ++x)
            if (test(image.Pixel(x, y)))
                ++count;
    return count;
}

bool Near(TColor a, TColor b, int tolerance = 8) {
    return std::abs(RedOf(a) - RedOf(b)) <= tolerance &&
           std::abs(GreenOf(a) - GreenOf(b)) <= tolerance &&
           std::abs(BlueOf(a) - BlueOf(b)) <= tolerance;
}

bool IsDark(TColor c) {
    return RedOf(c) < 90 && GreenOf(c) < 90 && BlueOf(c) < 90;
}

RECT All(const TBitmap& image) {
    return {0, 0, image.Width(), image.Height()};
}

using ButtonControlsTest = test::FrameworkTest;

// The radio buttons of one parent are one set, whether the user clicks or the program
// checks; radio buttons of another parent (a group box) are a set of their own.
TEST_F(ButtonControlsTest, RadioButtonsOfOneParentExcludeEachOther) {
    TForm form(nullptr);
    form.SetClientSize(320, 200);
    TGroupBox group(&form);
    group.SetBounds(160, 10, 150, 120);
    group.SetParent(&form);
    std::array<TRadioButton*, 5> radios{}; // a, b, c on the form; x, y in the group box
    std::array<int, 5> clicks{};
    for (int i = 0; i < 5; ++i) {
        radios[i] = new TRadioButton(&form);
        radios[i]->SetText(std::wstring(1, L"abcxy"[i]));
        radios[i]->SetBounds(10, 20 + 25 * (i % 3), 100, 17);
        radios[i]->SetParent(i < 3 ? static_cast<TWinControl*>(&form) : &group);
        radios[i]->OnClick = [&clicks, i](TComponent*) {
            ++clicks[i];
        };
    }
    // Checked before any window exists: the window shows it when it is made.
    radios[3]->SetChecked(true);
    form.Show();
    test::PumpMessages();

    struct Step {
        const char* what;
        int target;
        bool by_user;
        const char* checked; // a b c x y
        std::array<int, 5> clicks;
    };
    const Step steps[] = {
        {"as made", -1, false, "00010", {0, 0, 0, 0, 0}},
        {"user clicks b", 1, true, "01010", {0, 1, 0, 0, 0}},
        {"program checks c", 2, false, "00110", {0, 1, 0, 0, 0}},
        {"user clicks c, already checked", 2, true, "00110", {0, 1, 0, 0, 0}},
        {"user clicks y in the group", 4, true, "00101", {0, 1, 0, 0, 1}},
        {"program checks a", 0, false, "10001", {0, 1, 0, 0, 1}},
        {"user clicks x", 3, true, "10010", {0, 1, 0, 1, 1}},
    };
    for (const Step& step : steps) {
        if (step.target >= 0) {
            if (step.by_user)
                SendMessageW(radios[step.target]->Handle(), BM_CLICK, 0, 0);
            else
                radios[step.target]->SetChecked(true);
        }
        for (int i = 0; i < 5; ++i) {
            const bool expected = step.checked[i] == '1';
            EXPECT_EQ(radios[i]->Checked(), expected) << step.what << ", radio " << i;
            EXPECT_EQ(SendMessageW(radios[i]->Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED, expected)
                << step.what << ", window of radio " << i;
        }
        EXPECT_EQ(clicks, step.clicks) << step.what;
    }

    // The state outlives the windows: kept in the objects, shown by the next windows.
    form.DestroyHandle();
    EXPECT_TRUE(radios[0]->Checked());
    EXPECT_FALSE(radios[1]->Checked());
    EXPECT_TRUE(radios[3]->Checked());
    form.Show();
    EXPECT_EQ(SendMessageW(radios[0]->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(radios[3]->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(radios[4]->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

// The user's clicks toggle the box and raise OnClick after it changed; the program's changes
// reach the window and raise nothing. With AllowGrayed the clicks go through the third state.
TEST_F(ButtonControlsTest, CheckBoxToggledByTheUserAndByTheProgram) {
    struct Step {
        bool by_user;
        TCheckBoxState set; // by the program
        TCheckBoxState expected;
        int clicks;
    };
    struct Case {
        bool allow_grayed;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {false,
         {{true, cbUnchecked, cbChecked, 1},
          {true, cbUnchecked, cbUnchecked, 2},
          {false, cbChecked, cbChecked, 2},
          {true, cbUnchecked, cbUnchecked, 3},
          {false, cbGrayed, cbUnchecked, 3}}}, // no grayed state without AllowGrayed
        {true,
         {{true, cbUnchecked, cbChecked, 1},
          {true, cbUnchecked, cbGrayed, 2},
          {true, cbUnchecked, cbUnchecked, 3},
          {false, cbGrayed, cbGrayed, 3}}},
    };
    for (const Case& c : cases) {
        TForm form(nullptr);
        TCheckBox box(&form);
        box.SetText(L"Create a desktop icon");
        box.SetBounds(10, 10, 200, 17);
        box.SetAllowGrayed(c.allow_grayed);
        box.SetParent(&form);
        int clicks = 0;
        TCheckBoxState seen_in_click = cbUnchecked;
        box.OnClick = [&](TComponent*) {
            ++clicks;
            seen_in_click = box.CheckState();
        };
        form.Show();
        for (const Step& step : c.steps) {
            if (step.by_user)
                SendMessageW(box.Handle(), BM_CLICK, 0, 0);
            else
                box.SetCheckState(step.set);
            const LRESULT expected_window = step.expected == cbGrayed    ? BST_INDETERMINATE
                                            : step.expected == cbChecked ? BST_CHECKED
                                                                         : BST_UNCHECKED;
            EXPECT_EQ(box.CheckState(), step.expected) << "AllowGrayed " << c.allow_grayed;
            EXPECT_EQ(SendMessageW(box.Handle(), BM_GETCHECK, 0, 0), expected_window);
            EXPECT_EQ(clicks, step.clicks) << "AllowGrayed " << c.allow_grayed;
            if (step.by_user) {
                EXPECT_EQ(seen_in_click, step.expected) << "OnClick sees the new state";
            }
        }
    }

    // Set before the window exists, the state is given to the window when it is made.
    TForm form(nullptr);
    TCheckBox box(&form);
    box.SetChecked(true);
    int clicks = 0;
    box.OnClick = [&](TComponent*) {
        ++clicks;
    };
    box.SetParent(&form);
    EXPECT_EQ(SendMessageW(box.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(clicks, 0);
}

// Check boxes, radio buttons and group boxes show their parent's colour around their
// captions and, for the group box, inside its frame; they follow the parent's changes.
TEST_F(ButtonControlsTest, LabelledButtonsShowTheirParentsColour) {
    TForm form(nullptr);
    form.BorderStyle = bsSingle;
    form.SetClientSize(300, 160);
    TCheckBox box(&form);
    box.SetText(L"Box");
    box.SetBounds(10, 10, 200, 20);
    box.SetParent(&form);
    TRadioButton radio(&form);
    radio.SetText(L"Radio");
    radio.SetBounds(10, 35, 200, 20);
    radio.SetParent(&form);
    TGroupBox group(&form);
    group.SetText(L"Group");
    group.SetBounds(10, 60, 200, 90);
    group.SetParent(&form);
    form.Show();

    for (const TColor colour : {RGBColor(30, 120, 200), RGBColor(200, 60, 90)}) {
        form.SetColor(colour);
        test::PumpMessages();
        EXPECT_EQ(box.Color(), colour);
        for (TWinControl* control : std::initializer_list<TWinControl*>{&box, &radio}) {
            const TBitmap pixels = CaptureClient(control->Handle());
            // Far right of the caption, where only the background is.
            EXPECT_TRUE(Near(pixels.Pixel(190, 10), colour, 2)) << control->ClassName();
        }
        const TBitmap inside = CaptureClient(group.Handle());
        EXPECT_TRUE(Near(inside.Pixel(100, 50), colour, 2)) << "inside the group box";
        EXPECT_TRUE(Near(inside.Pixel(100, 2), colour, 2)) << "right of the group's caption";
        EXPECT_GT(CountPixels(inside, {0, 0, 60, 16}, IsDark), 5) << "the caption is drawn";
    }
}

// A group box is a container: child windows are its own, windowless children are painted by
// it and get their mouse messages through it, and aligned children stay inside the frame.
TEST_F(ButtonControlsTest, GroupBoxHoldsControls) {
    TForm form(nullptr);
    form.BorderStyle = bsSingle;
    form.SetClientSize(300, 200);
    TGroupBox group(&form);
    group.SetText(L"Options");
    group.SetBounds(10, 10, 250, 170);
    group.SetParent(&form);
    TCheckBox box(&form);
    box.SetBounds(10, 20, 150, 17);
    box.SetParent(&group);
    TSpeedButton button(&form);
    button.SetBounds(10, 60, 60, 24);
    button.SetParent(&group);
    int clicks = 0;
    button.OnClick = [&](TComponent*) {
        ++clicks;
    };
    TSpeedButton bottom(&form);
    bottom.SetHeight(30);
    bottom.SetColor(RGBColor(255, 0, 255));
    bottom.SetParent(&group);
    bottom.SetAlign(alBottom);
    form.Show();
    test::PumpMessages();

    EXPECT_EQ(GetParent(box.Handle()), group.Handle());
    EXPECT_EQ(SendMessageW(group.Handle(), WM_NCHITTEST, 0, MAKELPARAM(0, 0)), HTCLIENT)
        << "the mouse stops at the group box";
    const LPARAM at = MAKELPARAM(20, 70);
    SendMessageW(group.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(group.Handle(), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(clicks, 1);

    // The aligned child: inside the frame, at its bottom, painted by the group box.
    const RECT inside = group.ClientRect();
    EXPECT_GT(inside.top, 5) << "below the caption";
    EXPECT_EQ(bottom.Top() + bottom.Height(), inside.bottom);
    EXPECT_EQ(bottom.Left(), inside.left);
    EXPECT_EQ(bottom.Width(), inside.right - inside.left);
    const TBitmap pixels = CaptureClient(group.Handle());
    EXPECT_EQ(pixels.Pixel(bottom.Left() + 30, bottom.Top() + 15), RGBColor(255, 0, 255));
}

// A glyph of 12 x 12 pixels: a 6 x 6 square in `square` on a `background`.
TBitmap SquareGlyph(TColor background, TColor square) {
    TBitmap glyph(12, 12, pf24bit);
    glyph.Fill(background);
    for (int y = 3; y < 9; ++y)
        for (int x = 3; x < 9; ++x)
            glyph.SetPixel(x, y, square);
    return glyph;
}

// The glyph is drawn left of the caption; its transparent colour is its own when the bitmap
// says so, else its bottom-left pixel's. Disabled, its shape is embossed in the system's
// greys.
TEST_F(ButtonControlsTest, BitBtnDrawsItsGlyphLeftOfTheCaption) {
    const TColor blue = RGBColor(0, 0, 255);
    const TColor lime = RGBColor(0, 255, 0);
    const TColor red = RGBColor(255, 0, 0);
    struct Case {
        const char* what;
        TBitmap glyph;
        TColor hidden;
        int blue_pixels; // the square, and the corner pixel when it is not transparent
    };
    std::vector<Case> cases;
    cases.push_back({"bottom-left pixel's colour", SquareGlyph(lime, blue), lime, 36});
    {
        // Marked transparent in red; the bottom-left pixel is blue and stays.
        TBitmap glyph = SquareGlyph(red, blue);
        glyph.SetPixel(0, 11, blue);
        glyph.SetTransparent(true);
        glyph.SetTransparentColor(red);
        cases.push_back({"the bitmap's own colour", std::move(glyph), red, 37});
    }
    for (Case& c : cases) {
        TForm form(nullptr);
        form.SetClientSize(200, 80);
        TBitBtn button(&form);
        button.SetBounds(10, 10, 120, 40);
        button.SetText(L"Next");
        button.SetGlyph(std::move(c.glyph));
        button.SetParent(&form);
        form.Show();
        test::PumpMessages();

        const TBitmap face = CaptureClient(button.Handle());
        EXPECT_EQ(CountPixels(face, All(face), [&](TColor p) { return p == c.hidden; }), 0)
            << c.what;
        EXPECT_EQ(CountPixels(face, All(face), [&](TColor p) { return p == blue; }), c.blue_pixels)
            << c.what;
        // Inside the frame and the focus rectangle (the button has the keyboard).
        int glyph_right = -1, text_left = face.Width();
        for (int y = 6; y < face.Height() - 6; ++y)
            for (int x = 6; x < face.Width() - 6; ++x) {
                if (face.Pixel(x, y) == blue)
                    glyph_right = std::max(glyph_right, x);
                else if (IsDark(face.Pixel(x, y)))
                    text_left = std::min(text_left, x);
            }
        EXPECT_GE(glyph_right, 0) << c.what;
        EXPECT_LT(glyph_right, text_left) << c.what << ": the glyph is left of the caption";

        button.SetEnabled(false);
        test::PumpMessages();
        const TBitmap disabled = CaptureClient(button.Handle());
        EXPECT_EQ(CountPixels(disabled, All(disabled), [&](TColor p) { return p == blue; }), 0)
            << c.what;
        // Inside the frame, which has shadow lines of its own.
        const RECT inside{3, 3, disabled.Width() - 3, disabled.Height() - 3};
        EXPECT_GE(
            CountPixels(disabled, inside, [](TColor p) { return p == ColorToRGB(clBtnShadow); }),
            36)
            << c.what << ": the glyph's shape in the shadow colour";
    }
}

// Mouse messages as the system sends them for clicks and a double click; each press and
// release is one click. Default, Cancel and ModalResult work as for TButton, and the window
// stays owner-drawn whatever asks for a push button's style.
TEST_F(ButtonControlsTest, BitBtnClicksByMouseAndActsAsAButton) {
    TForm form(nullptr);
    TBitBtn button(&form);
    button.SetText(L"OK");
    button.SetParent(&form);
    button.ModalResult = mrOk;
    int clicks = 0;
    button.OnClick = [&](TComponent*) {
        ++clicks;
    };
    form.Show();
    HWND window = button.Handle();
    const LPARAM at = MAKELPARAM(10, 10);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(form.ModalResult, mrOk);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, at);
    SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(clicks, 3) << "a double click is two clicks";
    // Released outside: no click.
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(500, 500));
    EXPECT_EQ(clicks, 3);

    button.SetDefault(true);
    button.SetCancel(true);
    EXPECT_EQ(form.DefaultControl, &button);
    EXPECT_EQ(form.CancelControl, &button);
    EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
}

// A flat speed button: pressed look while the left button is held on it and the mouse is
// over it; a click only for a press and a release both on it.
TEST_F(ButtonControlsTest, SpeedButtonPressesAndClicksByMouse) {
    struct Move {
        UINT msg;
        int x, y;
        bool pressed_after;
    };
    struct Case {
        const char* what;
        std::vector<Move> moves;
        int clicks;
    };
    const Case cases[] = {
        {"press and release on it",
         {{WM_MOUSEMOVE, 30, 30, false},
          {WM_LBUTTONDOWN, 30, 30, true},
          {WM_LBUTTONUP, 32, 31, false}},
         1},
        {"press on it, leave, release outside",
         {{WM_LBUTTONDOWN, 30, 30, true},
          {WM_MOUSEMOVE, 150, 90, false},
          {WM_LBUTTONUP, 150, 90, false}},
         0},
        {"press on it, leave, come back, release",
         {{WM_LBUTTONDOWN, 30, 30, true},
          {WM_MOUSEMOVE, 150, 90, false},
          {WM_MOUSEMOVE, 40, 30, true},
          {WM_LBUTTONUP, 40, 30, false}},
         1},
        {"press outside, release on it",
         {{WM_LBUTTONDOWN, 150, 90, false}, {WM_LBUTTONUP, 30, 30, false}},
         0},
        {"double click",
         {{WM_LBUTTONDOWN, 30, 30, true},
          {WM_LBUTTONUP, 30, 30, false},
          {WM_LBUTTONDBLCLK, 30, 30, true},
          {WM_LBUTTONUP, 30, 30, false}},
         2},
    };
    const TColor face = RGBColor(230, 200, 120);
    for (const Case& c : cases) {
        TForm form(nullptr);
        form.BorderStyle = bsSingle;
        form.SetClientSize(200, 120);
        TSpeedButton button(&form);
        button.SetBounds(20, 20, 60, 24);
        button.SetFlat(true);
        button.SetColor(face);
        button.SetText(L"Go");
        button.SetParent(&form);
        int clicks = 0;
        button.OnClick = [&](TComponent*) {
            ++clicks;
        };
        form.Show();
        test::PumpMessages();
        for (const Move& move : c.moves) {
            SendMessageW(form.Handle(), move.msg, move.msg == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                         MAKELPARAM(move.x, move.y));
            EXPECT_EQ(button.Pressed(), move.pressed_after) << c.what;
            // Pressed, the top-left edge is in the shadow colour.
            const TColor corner = CaptureClient(form.Handle()).Pixel(20, 20);
            EXPECT_EQ(corner == ColorToRGB(clBtnShadow), move.pressed_after)
                << c.what << ", message " << move.msg;
        }
        EXPECT_EQ(clicks, c.clicks) << c.what;
    }

    // Flat: no frame until the mouse comes over it, then a raised one.
    TForm form(nullptr);
    form.BorderStyle = bsSingle;
    form.SetClientSize(200, 120);
    TSpeedButton button(&form);
    button.SetBounds(20, 20, 60, 24);
    button.SetFlat(true);
    button.SetColor(face);
    button.SetParent(&form);
    form.Show();
    struct Hover {
        int x, y;
        TColor corner;
    };
    for (const Hover hover :
         {Hover{150, 90, face}, Hover{30, 30, ColorToRGB(clBtnHighlight)}, Hover{150, 90, face}}) {
        SendMessageW(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(hover.x, hover.y));
        // Painted at once; pumping could deliver a leave for the real pointer, elsewhere.
        UpdateWindow(form.Handle());
        EXPECT_EQ(CaptureClient(form.Handle()).Pixel(20, 20), hover.corner)
            << "mouse at " << hover.x << ", " << hover.y;
    }
}

} // namespace
} // namespace kalvo
