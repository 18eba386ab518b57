#include "app/framework/controls/button.h"
#include "app/framework/controls/combo_box.h"
#include "app/framework/controls/edit.h"
#include "app/framework/controls/memo.h"
#include "app/framework/form.h"
#include "imaging/window_capture_win32.h"
#include "tests/framework/support/framework_fixture.h"

#include <functional>
#include <string>
#include <vector>

namespace kalvo {
namespace {

// Characters as the keyboard delivers them to the focused window.
void Type(HWND window, const std::wstring& text) {
    for (const wchar_t ch : text)
        SendMessageW(window, WM_CHAR, ch, 1);
}

void PressKey(HWND window, UINT key) {
    SendMessageW(window, WM_KEYDOWN, key, 1);
    SendMessageW(window, WM_KEYUP, key, 0xC0000001);
}

std::wstring WindowText(HWND window) {
    std::wstring text(std::size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(window, text.data(), int(text.size()))));
    return text;
}

bool RunningOnWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

using TextControlsTest = test::FrameworkTest;

// MaxLength stops the user's typing, ReadOnly all of it; OnChange runs once for every change,
// typed or set by the program. Each setting works set before the window exists and on it.
TEST_F(TextControlsTest, EditLimitsReadOnlyAndChangeEvents) {
    struct Case {
        const char* what;
        bool before_window;
        int max_length;
        bool read_only;
        const wchar_t* typed;
        const wchar_t* text;
        int changes;
        int refused; // keys the limit refused
    };
    const Case cases[] = {
        {"free", true, 0, false, L"abc", L"abc", 3, 0},
        {"limited before the window", true, 2, false, L"abc", L"ab", 2, 1},
        {"limited on the window", false, 2, false, L"abc", L"ab", 2, 1},
        {"read-only before the window", true, 0, true, L"abc", L"", 0, 0},
        {"read-only on the window", false, 0, true, L"abc", L"", 0, 0},
    };
    for (const Case& c : cases) {
        // Wine's edit control reports a change (EN_CHANGE) also for a key the limit refused,
        // though the text stays the same; Windows reports none.
        const int changes = c.changes + (RunningOnWine() ? c.refused : 0);
        TForm form(nullptr);
        TEdit edit(&form);
        edit.SetParent(&form);
        int seen = 0;
        edit.OnChange = [&](TComponent*) {
            ++seen;
        };
        const auto apply = [&] {
            edit.SetMaxLength(c.max_length);
            edit.SetReadOnly(c.read_only);
        };
        if (c.before_window)
            apply();
        form.Show();
        if (!c.before_window)
            apply();
        Type(edit.Handle(), c.typed);
        EXPECT_EQ(edit.Text(), c.text) << c.what;
        EXPECT_EQ(seen, changes) << c.what;
        EXPECT_EQ((GetWindowLongPtrW(edit.Handle(), GWL_STYLE) & ES_READONLY) != 0, c.read_only)
            << c.what;
        if (c.max_length > 0) {
            EXPECT_EQ(SendMessageW(edit.Handle(), EM_GETLIMITTEXT, 0, 0), c.max_length) << c.what;
        }
        // The program's text is one change, and is not cut to the limit.
        edit.SetText(L"program");
        EXPECT_EQ(WindowText(edit.Handle()), L"program") << c.what;
        EXPECT_EQ(seen, changes + 1) << c.what;
    }
}

// Without a window the text is one change as well; typed text outlives the window.
TEST_F(TextControlsTest, EditKeepsItsTextWithoutAWindow) {
    TForm form(nullptr);
    TEdit edit(&form);
    int changes = 0;
    edit.OnChange = [&](TComponent*) {
        ++changes;
    };
    edit.SetText(L"C:\\Program Files");
    EXPECT_EQ(changes, 1);
    edit.SetParent(&form);
    form.Show();
    EXPECT_EQ(WindowText(edit.Handle()), L"C:\\Program Files");
    EXPECT_EQ(changes, 1) << "making the window is no change";
    SendMessageW(edit.Handle(), EM_SETSEL, 16, 16); // the caret at the end
    Type(edit.Handle(), L"\\Kalvo");
    form.DestroyHandle();
    EXPECT_FALSE(edit.HandleAllocated());
    EXPECT_EQ(edit.Text(), L"C:\\Program Files\\Kalvo");
    form.Show();
    EXPECT_EQ(WindowText(edit.Handle()), L"C:\\Program Files\\Kalvo");
}

// Lines set are the lines read back, with and without a window; the window holds them joined
// with CR LF.
TEST_F(TextControlsTest, MemoLinesRoundTrip) {
    const std::vector<std::vector<std::wstring>> cases = {
        {},
        {L"one"},
        {L"one", L"two", L"three"},
        {L"a", L"", L"b"},
        {L"ends with an empty line", L""},
        {L"", L"starts with an empty line"},
        {L"\x00DCn\x00EFc\x00F6d\x00E9", L"\x041A\x0438\x0440\x0438\x043B\x043B\x0438\x0446\x0430"},
    };
    TForm form(nullptr);
    TMemo memo(&form);
    memo.SetParent(&form);
    for (const bool with_window : {false, true}) {
        if (with_window)
            form.Show();
        for (const auto& lines : cases) {
            memo.SetLines(lines);
            EXPECT_EQ(memo.Lines(), lines) << "window: " << with_window;
            if (with_window) {
                std::wstring joined;
                for (std::size_t i = 0; i < lines.size(); ++i)
                    joined += (i ? L"\r\n" : L"") + lines[i];
                EXPECT_EQ(WindowText(memo.Handle()), joined);
            }
        }
    }

    // Line breaks of every kind split; Enter typed by the user starts a line.
    struct Split {
        const wchar_t* text;
        std::vector<std::wstring> lines;
    };
    const Split splits[] = {
        {L"a\nb", {L"a", L"b"}},        {L"a\rb", {L"a", L"b"}}, {L"a\r\n\r\nb", {L"a", L"", L"b"}},
        {L"a\n\rb", {L"a", L"", L"b"}}, {L"a\r\n", {L"a", L""}},
    };
    for (const Split& split : splits) {
        memo.SetText(split.text);
        EXPECT_EQ(memo.Lines(), split.lines);
    }
    memo.SetText(L"");
    Type(memo.Handle(), L"first\rsecond");
    EXPECT_EQ(memo.Lines(), (std::vector<std::wstring>{L"first", L"second"}));
}

// ScrollBars and WordWrap are window styles: the memo gets a new window with them, and the
// same text, read-only state and limit.
TEST_F(TextControlsTest, MemoStylesMakeANewWindowThatKeepsTheText) {
    struct Case {
        TScrollStyle scroll_bars;
        bool word_wrap;
        bool vertical, horizontal, scrolls_sideways;
    };
    const Case cases[] = {
        {ssVertical, true, true, false, false}, {ssBoth, true, true, true, true},
        {ssNone, false, false, false, true},    {ssHorizontal, true, false, true, true},
        {ssNone, true, false, false, false},
    };
    TForm form(nullptr);
    TMemo memo(&form);
    memo.SetParent(&form);
    memo.SetMaxLength(100);
    memo.SetReadOnly(true);
    form.Show();
    memo.SetLines({L"Read me", L"first"});
    for (const Case& c : cases) {
        memo.SetScrollBars(c.scroll_bars);
        memo.SetWordWrap(c.word_wrap);
        const LONG_PTR style = GetWindowLongPtrW(memo.Handle(), GWL_STYLE);
        EXPECT_TRUE(style & ES_MULTILINE);
        EXPECT_EQ((style & WS_VSCROLL) != 0, c.vertical) << int(c.scroll_bars);
        EXPECT_EQ((style & WS_HSCROLL) != 0, c.horizontal) << int(c.scroll_bars);
        EXPECT_EQ((style & ES_AUTOHSCROLL) != 0, c.scrolls_sideways) << int(c.scroll_bars);
        EXPECT_TRUE(style & ES_READONLY);
        EXPECT_EQ(SendMessageW(memo.Handle(), EM_GETLIMITTEXT, 0, 0), 100);
        EXPECT_EQ(memo.Lines(), (std::vector<std::wstring>{L"Read me", L"first"}));
        EXPECT_EQ(GetParent(memo.Handle()), form.Handle());
    }
}

// Text boxes, read-only and disabled ones too, and the text box of a combo box are painted
// in their Color.
TEST_F(TextControlsTest, TextBoxesShowTheirColour) {
    const TColor yellow = RGBColor(255, 240, 0);
    enum Kind { Edit, ReadOnly, Disabled, Memo, Combo };
    for (const Kind kind : {Edit, ReadOnly, Disabled, Memo, Combo}) {
        TForm form(nullptr);
        TButton first(&form); // takes the focus, so that no text box shows a selection
        first.SetParent(&form);
        TWinControl* control = nullptr;
        if (kind == Memo)
            control = new TMemo(&form);
        else if (kind == Combo)
            control = new TComboBox(&form);
        else
            control = new TEdit(&form);
        control->SetBounds(10, 40, 150, kind == Memo ? 60 : 21);
        control->SetColor(yellow);
        control->SetText(L"i");
        if (kind == ReadOnly)
            static_cast<TEdit*>(control)->SetReadOnly(true);
        if (kind == Disabled)
            control->SetEnabled(false);
        control->SetParent(&form);
        form.Show();
        test::PumpMessages();
        HWND text_box = control->Handle();
        if (kind == Combo) {
            COMBOBOXINFO info{};
            info.cbSize = sizeof info;
            GetComboBoxInfo(text_box, &info);
            text_box = info.hwndItem;
        }
        const TBitmap pixels = CaptureClient(text_box);
        EXPECT_EQ(pixels.Pixel(pixels.Width() - 20, pixels.Height() / 2), yellow) << kind;
    }
}

// OnChange runs when the user picks an entry with the keys (as with the mouse, the list tells
// the combo box, which tells its parent), and when the user types in a drop-down box; never
// for the program's Items, ItemIndex or Text.
TEST_F(TextControlsTest, ComboBoxChangesOnlyForTheUser) {
    const std::vector<std::wstring> colours = {L"Red", L"Green", L"Blue"};
    struct Step {
        const char* what;
        std::function<void(TComboBox&)> act;
        int item_index;
        const wchar_t* text;
        int changes;
    };
    struct Case {
        TComboBoxStyle style;
        std::vector<Step> steps;
    };
    const auto list_of = [](TComboBox& combo) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(combo.Handle(), &info);
        return info;
    };
    // Where the keyboard goes: the box itself, or the text box inside a drop-down one.
    const auto focus_of = [&](TComboBox& combo) {
        const COMBOBOXINFO info = list_of(combo);
        return combo.Style() == csDropDown ? info.hwndItem : combo.Handle();
    };
    const Case cases[] = {
        {csDropDownList,
         {
             {"items set", [&](TComboBox& c) { c.SetItems(colours); }, -1, L"", 0},
             {"index set", [](TComboBox& c) { c.SetItemIndex(0); }, 0, L"Red", 0},
             {"user presses Down", [&](TComboBox& c) { PressKey(focus_of(c), VK_DOWN); }, 1,
              L"Green", 1},
             {"user presses Down", [&](TComboBox& c) { PressKey(focus_of(c), VK_DOWN); }, 2,
              L"Blue", 2},
             {"text set", [](TComboBox& c) { c.SetText(L"Red"); }, 0, L"Red", 2},
             {"unknown text set", [](TComboBox& c) { c.SetText(L"Pink"); }, -1, L"", 2},
             {"items set again",
              [&](TComboBox& c) {
                  c.SetItems({L"A", L"B"});
              },
              -1, L"", 2},
         }},
        {csDropDown,
         {
             {"items set", [&](TComboBox& c) { c.SetItems(colours); }, -1, L"", 0},
             {"index set", [](TComboBox& c) { c.SetItemIndex(1); }, 1, L"Green", 0},
             {"text set", [](TComboBox& c) { c.SetText(L""); }, -1, L"", 0},
             {"an entry's text set", [](TComboBox& c) { c.SetText(L"Blue"); }, 2, L"Blue", 0},
             {"other text set", [](TComboBox& c) { c.SetText(L"Bluish"); }, -1, L"Bluish", 0},
             {"text set", [](TComboBox& c) { c.SetText(L""); }, -1, L"", 0},
             {"user types", [&](TComboBox& c) { Type(focus_of(c), L"Te"); }, -1, L"Te", 2},
             {"items set, the typed text stays", [&](TComboBox& c) { c.SetItems(colours); }, -1,
              L"Te", 2},
             {"index set", [](TComboBox& c) { c.SetItemIndex(0); }, 0, L"Red", 2},
             {"user presses Down", [&](TComboBox& c) { PressKey(focus_of(c), VK_DOWN); }, 1,
              L"Green", 3},
         }},
    };
    for (const Case& c : cases) {
        TForm form(nullptr);
        TComboBox combo(&form);
        combo.SetStyle(c.style);
        combo.SetParent(&form);
        int changes = 0;
        std::wstring text_in_change;
        combo.OnChange = [&](TComponent*) {
            ++changes;
            text_in_change = combo.Text();
        };
        form.Show();
        for (const Step& step : c.steps) {
            const int changes_before = changes;
            step.act(combo);
            EXPECT_EQ(combo.ItemIndex(), step.item_index) << step.what;
            EXPECT_EQ(combo.Text(), step.text) << step.what;
            EXPECT_EQ(changes, step.changes) << step.what;
            if (changes > changes_before) {
                EXPECT_EQ(text_in_change, combo.Text()) << step.what << ": OnChange saw it";
            }
        }
        EXPECT_FALSE(combo.DroppedDown());
    }
}

// What the program sets before the window exists is in the window when it is made, and the
// selection outlives the window.
TEST_F(TextControlsTest, ComboBoxKeepsItsStateWithoutAWindow) {
    TForm form(nullptr);
    TComboBox combo(&form);
    combo.SetStyle(csDropDownList);
    combo.SetItems({L"English", L"Suomi", L"Deutsch"});
    combo.SetItemIndex(1);
    EXPECT_EQ(combo.Text(), L"Suomi");
    combo.SetParent(&form);
    form.Show();
    EXPECT_EQ(SendMessageW(combo.Handle(), CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(combo.Handle(), CB_GETCURSEL, 0, 0), 1);
    PressKey(combo.Handle(), VK_DOWN);
    form.DestroyHandle();
    EXPECT_EQ(combo.ItemIndex(), 2);
    combo.SetStyle(csDropDown);
    form.Show();
    EXPECT_EQ(SendMessageW(combo.Handle(), CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(WindowText(combo.Handle()), L"Deutsch");
    EXPECT_EQ(GetWindowLongPtrW(combo.Handle(), GWL_STYLE) & 3, CBS_DROPDOWN);
}

} // namespace
} // namespace kalvo
