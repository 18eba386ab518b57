#include "app/framework/controls/button.h"
#include "app/framework/form.h"
#include "tests/framework/support/framework_fixture.h"

#include <stdexcept>
#include <string>

namespace kalvo {
namespace {

using ApplicationTest = test::FrameworkTest;

BOOL CALLBACK FindErrorText(HWND child, LPARAM out) {
    wchar_t text[256] = {};
    GetWindowTextW(child, text, 256);
    if (wcsstr(text, L"went wrong"))
        *reinterpret_cast<std::wstring*>(out) = text;
    return TRUE;
}

std::wstring DialogText(HWND dialog) {
    std::wstring found;
    EnumChildWindows(dialog, FindErrorText, LPARAM(&found));
    return found;
}

// An exception that ends a click handler is shown in the standard error box, with the
// application's title; the handler's window goes on working.
TEST_F(ApplicationTest, ExceptionInAHandlerShowsTheErrorBoxAndTheProgramGoesOn) {
    app.SetTitle(L"Framework test");
    TForm form(nullptr);
    TButton button(&form);
    button.SetParent(&form);
    int clicks = 0;
    button.OnClick = [&](TComponent*) {
        if (++clicks == 1)
            throw std::runtime_error(
                "Something went wrong: \xD0\xBE\xD1\x88\xD0\xB8\xD0\xB1\xD0\xBA\xD0\xB0");
    };
    form.Show();

    // Closes the box it finds; a box with another title is closed too (so the test fails
    // instead of waiting forever), but its text is not taken.
    std::wstring shown;
    test::RunLater(100, [&] {
        if (HWND box = FindWindowW(L"#32770", L"Framework test")) {
            shown = DialogText(box);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        } else if (HWND other = FindWindowW(L"#32770", nullptr)) {
            PostMessageW(other, WM_COMMAND, IDOK, 0);
        }
    });
    SendMessageW(button.Handle(), BM_CLICK, 0, 0); // returns when the box is closed
    EXPECT_EQ(shown, L"Something went wrong: \x043E\x0448\x0438\x0431\x043A\x0430");

    SendMessageW(button.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 2);
}

TEST_F(ApplicationTest, OnExceptionReplacesTheBox) {
    std::wstring reported;
    app.OnException = [&](const std::wstring& text) {
        reported = text;
    };
    TForm form(nullptr);
    TButton button(&form);
    button.SetParent(&form);
    button.OnClick = [](TComponent*) {
        throw std::logic_error("bad state");
    };
    SendMessageW(button.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(reported, L"bad state");
}

} // namespace
} // namespace kalvo
