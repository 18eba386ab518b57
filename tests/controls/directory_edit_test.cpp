#include "app/framework/application.h"
#include "app/framework/controls/button.h"
#include "app/framework/form.h"
#include "controls/s_directory_edit.h"
#include "platform_test_support.h"
#include "tests/framework/support/framework_fixture.h"

#include <optional>
#include <string>
#include <vector>

namespace kalvo {
namespace {

void Type(HWND window, const std::wstring& text) {
    for (const wchar_t ch : text)
        SendMessageW(window, WM_CHAR, ch, 1);
}

bool PutOnClipboard(const std::wstring& text) {
    if (!OpenClipboard(nullptr))
        return false;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    bool ok = memory != nullptr;
    if (ok) {
        std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
        GlobalUnlock(memory);
        ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        if (!ok)
            GlobalFree(memory);
    }
    CloseClipboard();
    return ok;
}

bool IsWindowReadOnly(HWND window) {
    return (GetWindowLongPtrW(window, GWL_STYLE) & ES_READONLY) != 0;
}

// A folder field on a shown form, with the browser replaced by answers the test gives.
class DirectoryEditTest : public test::FrameworkTest {
protected:
    DirectoryEditTest() : form(nullptr), edit(&form) {
        form.SetBounds(100, 100, 400, 200);
        edit.SetParent(&form);
        edit.SetBounds(15, 46, 241, 21);
        edit.OnChange = [this](TComponent* sender) {
            EXPECT_EQ(sender, &edit);
            changes.push_back(edit.Text() + L" | " + edit.InitialDir());
        };
        edit.BrowseForFolder = [this](const TFolderBrowseRequest& request) {
            requests.push_back(request);
            return answer;
        };
    }

    TForm form;
    TsDirectoryEdit edit;
    std::optional<std::wstring> answer;
    std::vector<TFolderBrowseRequest> requests;
    std::vector<std::wstring> changes; // the text and InitialDir as OnChange saw them
};

// Without direct input the user can neither type, paste nor cut; the program still sets the
// text, which is one change. ReadOnly does the same to the user and also stops the button.
TEST_F(DirectoryEditTest, DirectInputAndReadOnly) {
    struct Case {
        const char* what;
        bool before_window;
        bool direct_input;
        bool read_only;
        bool user_edits; // typing, pasting and cutting change the text
    };
    const Case cases[] = {
        {"direct input", true, true, false, true},
        {"no direct input, before the window", true, false, false, false},
        {"no direct input, on the window", false, false, false, false},
        {"read-only", false, true, true, false},
        {"read-only without direct input", true, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TForm owner(nullptr);
        TsDirectoryEdit field(&owner);
        field.SetParent(&owner);
        int seen = 0;
        field.OnChange = [&](TComponent*) {
            ++seen;
        };
        const auto apply = [&] {
            field.SetDirectInput(c.direct_input);
            field.SetReadOnly(c.read_only);
        };
        if (c.before_window)
            apply();
        owner.Show();
        if (!c.before_window)
            apply();
        HWND window = field.Handle();
        EXPECT_EQ(IsWindowReadOnly(window), !c.user_edits);
        EXPECT_EQ(field.Button().Enabled(), !c.read_only);

        Type(window, L"abc");
        EXPECT_EQ(field.Text(), c.user_edits ? L"abc" : L"");
        ASSERT_TRUE(PutOnClipboard(L"D:\\Pasted"));
        SendMessageW(window, WM_PASTE, 0, 0);
        EXPECT_EQ(field.Text(), c.user_edits ? L"abcD:\\Pasted" : L"");
        const int user_changes = seen;
        EXPECT_EQ(user_changes > 0, c.user_edits);

        field.SetText(L"C:\\Program Files\\Kalvo.Net");
        EXPECT_EQ(field.Text(), L"C:\\Program Files\\Kalvo.Net");
        EXPECT_EQ(seen, user_changes + 1);
        field.SelectAll();
        SendMessageW(window, WM_CUT, 0, 0);
        EXPECT_EQ(field.Text(), c.user_edits ? L"" : L"C:\\Program Files\\Kalvo.Net");
    }
}

// The window is read-only while either setting says so, whatever the order of changes.
TEST_F(DirectoryEditTest, ReadOnlyAndDirectInputCombine) {
    form.Show();
    HWND window = edit.Handle();
    const struct {
        bool direct_input, read_only, window_read_only;
    } steps[] = {
        {false, false, true}, {false, true, true},  {true, true, true},
        {true, false, false}, {false, false, true}, {true, false, false},
    };
    for (const auto& step : steps) {
        edit.SetDirectInput(step.direct_input);
        edit.SetReadOnly(step.read_only);
        EXPECT_EQ(IsWindowReadOnly(window), step.window_read_only)
            << step.direct_input << step.read_only;
        EXPECT_EQ(edit.ReadOnly(), step.read_only);
        EXPECT_EQ(edit.DirectInput(), step.direct_input);
    }
}

// A chosen folder becomes the text (one change, which already sees the new InitialDir) and the
// next InitialDir, and the field takes the focus; no answer changes nothing.
TEST_F(DirectoryEditTest, ButtonTakesTheChosenFolder) {
    struct Case {
        const char* what;
        std::optional<std::wstring> answer;
        std::wstring text;
        std::wstring initial_dir;
        std::vector<std::wstring> changes;
    };
    const Case cases[] = {
        {"chosen",
         L"D:\\Games\\Kalvo",
         L"D:\\Games\\Kalvo",
         L"D:\\Games\\Kalvo",
         {L"D:\\Games\\Kalvo | D:\\Games\\Kalvo"}},
        {"cancelled", std::nullopt, L"C:\\Kalvo", L"C:\\Start", {}},
        {"empty answer", L"", L"C:\\Kalvo", L"C:\\Start", {}},
    };
    edit.SetDirectInput(false);
    form.Show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        edit.SetText(L"C:\\Kalvo");
        edit.SetInitialDir(L"C:\\Start");
        form.SetFocus();
        changes.clear();
        requests.clear();
        answer = c.answer;
        edit.ButtonClick();
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].Root, L"rfDesktop");
        EXPECT_EQ(requests[0].Owner, form.Handle());
        EXPECT_EQ(edit.Text(), c.text);
        EXPECT_EQ(edit.InitialDir(), c.initial_dir);
        EXPECT_EQ(changes, c.changes);
        if (c.answer && !c.answer->empty()) {
            EXPECT_EQ(GetFocus(), edit.Handle());
        }
    }
}

// The browser opens at the field's folder when it exists, else at InitialDir, and at the
// root Root names.
TEST_F(DirectoryEditTest, BrowserStartsAtTheFieldsFolder) {
    const test::TTempFolder existing;
    struct Case {
        std::wstring text;
        std::wstring initial_dir;
        std::wstring root;
        std::wstring expected;
    };
    const Case cases[] = {
        {existing.Path(), L"C:\\Start", L"rfDesktop", existing.Path()},
        {L"C:\\No\\Such\\Folder", L"C:\\Start", L"rfMyComputer", L"C:\\Start"},
        {L"", L"C:\\Start", L"C:\\", L"C:\\Start"},
        {L"", L"", L"rfPersonal", L""},
    };
    for (const Case& c : cases) {
        edit.SetText(c.text);
        edit.SetInitialDir(c.initial_dir);
        edit.SetRoot(c.root);
        requests.clear();
        edit.ButtonClick();
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].InitialFolder, c.expected) << c.text;
        EXPECT_EQ(requests[0].Root, c.root);
        EXPECT_EQ(requests[0].Owner, nullptr) << "no window yet: no owner";
    }
}

// OnButtonClick runs before the browser; a read-only field runs neither.
TEST_F(DirectoryEditTest, OnButtonClickComesFirstAndReadOnlyStopsBoth) {
    std::vector<std::string> log;
    edit.OnButtonClick = [&](TComponent* sender) {
        EXPECT_EQ(sender, &edit);
        log.push_back("OnButtonClick");
    };
    edit.BrowseForFolder = [&](const TFolderBrowseRequest&) -> std::optional<std::wstring> {
        log.push_back("browse");
        return std::nullopt;
    };
    edit.ButtonClick();
    EXPECT_EQ(log, (std::vector<std::string>{"OnButtonClick", "browse"}));
    log.clear();
    edit.SetReadOnly(true);
    edit.ButtonClick();
    EXPECT_TRUE(log.empty());
}

// The button sits inside the box at its right end, the text stops short of it (also after a
// new font), a mouse click on it browses and the focus goes back to the box.
TEST_F(DirectoryEditTest, ButtonInsideTheBox) {
    form.Show();
    HWND window = edit.Handle();
    HWND button = edit.Button().Handle();
    EXPECT_EQ(GetParent(button), window);
    EXPECT_FALSE(GetWindowLongPtrW(button, GWL_STYLE) & WS_TABSTOP);
    RECT client;
    GetClientRect(window, &client);
    RECT bounds;
    GetWindowRect(button, &bounds);
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&bounds), 2);
    EXPECT_EQ(bounds.right, client.right);
    EXPECT_EQ(bounds.left, client.right - TsCustomComboEdit::ButtonWidth);
    EXPECT_EQ(bounds.top, client.top);
    EXPECT_EQ(bounds.bottom, client.bottom);
    wchar_t caption[8] = {};
    GetWindowTextW(button, caption, 8);
    EXPECT_STREQ(caption, L"...");

    const auto right_margin = [&] {
        return HIWORD(SendMessageW(window, EM_GETMARGINS, 0, 0));
    };
    EXPECT_GT(right_margin(), TsCustomComboEdit::ButtonWidth);
    edit.Font().SetHeight(-19);
    EXPECT_GT(right_margin(), TsCustomComboEdit::ButtonWidth) << "after a new font";

    answer = L"C:\\Chosen";
    form.SetFocus();
    const LPARAM middle = MAKELPARAM(TsCustomComboEdit::ButtonWidth / 2, client.bottom / 2);
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    SendMessageW(button, WM_LBUTTONUP, 0, middle);
    EXPECT_EQ(requests.size(), 1u);
    EXPECT_EQ(edit.Text(), L"C:\\Chosen");
    EXPECT_EQ(GetFocus(), window);

    // Cancelled too, the focus does not stay on the button.
    answer = std::nullopt;
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    SendMessageW(button, WM_LBUTTONUP, 0, middle);
    EXPECT_EQ(requests.size(), 2u);
    EXPECT_EQ(GetFocus(), window);
}

// Alt+Down in the box presses the button, through the program's message loop; Down alone and
// Alt+Up do not.
TEST_F(DirectoryEditTest, AltDownPressesTheButton) {
    edit.SetDirectInput(false);
    form.Show();
    edit.SetFocus();
    answer = L"C:\\Chosen";
    const struct {
        UINT msg;
        WPARAM key;
        LPARAM flags;
        std::size_t browsed;
    } keys[] = {
        {WM_KEYDOWN, VK_DOWN, 1, 0},
        {WM_SYSKEYDOWN, VK_UP, 1 | (1 << 29), 0},
        {WM_SYSKEYDOWN, VK_DOWN, 1 | (1 << 29), 1},
    };
    for (const auto& key : keys) {
        requests.clear();
        PostMessageW(edit.Handle(), key.msg, key.key, key.flags);
        app.ProcessMessages();
        EXPECT_EQ(requests.size(), key.browsed) << key.msg << " " << key.key;
    }
    EXPECT_EQ(edit.Text(), L"C:\\Chosen");
}

} // namespace
} // namespace kalvo
