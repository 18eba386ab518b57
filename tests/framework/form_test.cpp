#include "app/framework/controls/button.h"
#include "app/framework/controls/label.h"
#include "app/framework/controls/panel.h"
#include "app/framework/form.h"
#include "tests/framework/support/framework_fixture.h"

#include <stdexcept>

namespace kalvo {
namespace {

// A form with an OK button (default, result mrOk) and a Cancel button (cancel, mrCancel).
struct Dialog {
    TForm form{nullptr};
    TButton ok{&form};
    TButton cancel{&form};
    int ok_clicks = 0;
    int cancel_clicks = 0;

    Dialog() {
        form.BorderStyle = bsDialog;
        form.Position = poScreenCenter;
        form.SetClientSize(200, 80);
        ok.SetBounds(20, 40, 75, 25);
        ok.SetText(L"OK");
        ok.SetParent(&form);
        ok.SetDefault(true);
        ok.ModalResult = mrOk;
        ok.OnClick = [this](TComponent*) {
            ++ok_clicks;
        };
        cancel.SetBounds(105, 40, 75, 25);
        cancel.SetText(L"Cancel");
        cancel.SetParent(&form);
        cancel.SetCancel(true);
        cancel.ModalResult = mrCancel;
        cancel.OnClick = [this](TComponent*) {
            ++cancel_clicks;
        };
    }
};

using FormTest = test::FrameworkTest;

TEST_F(FormTest, EnterAndEscapeReachTheDefaultAndCancelButtons) {
    struct Case {
        UINT key;
        int result;
        int ok_clicks;
        int cancel_clicks;
    };
    for (const Case c : {Case{VK_RETURN, mrOk, 1, 0}, Case{VK_ESCAPE, mrCancel, 0, 1}}) {
        Dialog dialog;
        // The key arrives while the modal loop runs, as the user's would.
        test::RunLater(50, [&] {
            HWND focus = GetFocus();
            PostMessageW(focus ? focus : dialog.form.Handle(), WM_KEYDOWN, c.key, 0);
        });
        EXPECT_EQ(dialog.form.ShowModal(), c.result) << c.key;
        EXPECT_EQ(dialog.ok_clicks, c.ok_clicks) << c.key;
        EXPECT_EQ(dialog.cancel_clicks, c.cancel_clicks) << c.key;
        EXPECT_FALSE(dialog.form.Visible());
    }
}

// Enter presses the push button that has the focus, whichever is the default otherwise; a
// form without a default button has Enter press the focused one too.
TEST_F(FormTest, EnterPressesTheFocusedButton) {
    for (const bool with_default : {true, false}) {
        Dialog dialog;
        dialog.ok.SetDefault(with_default);
        test::RunLater(50, [&] {
            SetFocus(dialog.cancel.Handle());
            PostMessageW(dialog.cancel.Handle(), WM_KEYDOWN, VK_RETURN, 0);
        });
        EXPECT_EQ(dialog.form.ShowModal(), mrCancel) << with_default;
        EXPECT_EQ(dialog.ok_clicks, 0) << with_default;
        EXPECT_EQ(dialog.cancel_clicks, 1) << with_default;
    }
}

// An error in OnShow is reported like any handler's, and the window still shows.
TEST_F(FormTest, AnErrorInOnShowIsReportedAndTheWindowShows) {
    std::wstring reported;
    app.OnException = [&](const std::wstring& text) {
        reported = text;
    };
    TForm form(nullptr);
    form.OnShow = [](TComponent*) {
        throw std::runtime_error("Cannot open file \"setup.exe\".");
    };
    form.Show();
    EXPECT_EQ(reported, L"Cannot open file \"setup.exe\".");
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
}

// The control named by SetActiveControl gets the keyboard when the form is shown again, not
// the one that had it when the form was hidden.
TEST_F(FormTest, SetActiveControlChoosesWhereTheKeyboardGoesNext) {
    Dialog dialog;
    dialog.form.Show();
    SetFocus(dialog.ok.Handle());
    test::PumpMessages();
    dialog.form.Hide();
    test::PumpMessages();
    dialog.form.SetActiveControl(&dialog.cancel);
    dialog.form.Show();
    SetForegroundWindow(dialog.form.Handle());
    test::PumpMessages();
    EXPECT_EQ(GetFocus(), dialog.cancel.Handle());
    // While the form is active, at once.
    dialog.form.SetActiveControl(&dialog.ok);
    EXPECT_EQ(GetFocus(), dialog.ok.Handle());
}

TEST_F(FormTest, ModalFormReturnsItsResultAndReenablesTheOthers) {
    TForm main(nullptr);
    main.Show();
    Dialog dialog;
    bool main_was_disabled = false;
    test::RunLater(50, [&] {
        main_was_disabled = !IsWindowEnabled(main.Handle());
        dialog.form.ModalResult = mrRetry;
    });
    EXPECT_EQ(dialog.form.ShowModal(), mrRetry);
    EXPECT_TRUE(main_was_disabled);
    EXPECT_TRUE(IsWindowEnabled(main.Handle()));

    // Closing a modal form (the close box) gives mrCancel.
    test::RunLater(50, [&] { PostMessageW(dialog.form.Handle(), WM_CLOSE, 0, 0); });
    EXPECT_EQ(dialog.form.ShowModal(), mrCancel);
}

TEST_F(FormTest, OnShowRunsBeforeTheWindowIsVisible) {
    TForm form(nullptr);
    bool visible_during_on_show = true;
    int shows = 0;
    form.OnShow = [&](TComponent*) {
        ++shows;
        visible_during_on_show = IsWindowVisible(form.Handle()) != FALSE;
    };
    form.Show();
    EXPECT_EQ(shows, 1);
    EXPECT_FALSE(visible_during_on_show);
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
}

TEST_F(FormTest, ClosingTheMainFormEndsTheApplication) {
    TForm* main = app.CreateForm<TForm>();
    TCloseAction seen = caNone;
    main->OnClose = [&](TComponent*, TCloseAction& action) {
        seen = action;
    };
    test::RunLater(50, [&] { PostMessageW(main->Handle(), WM_CLOSE, 0, 0); });
    app.Run();
    EXPECT_EQ(seen, caHide);
    EXPECT_TRUE(app.Terminated());
    EXPECT_FALSE(main->Visible());
}

// However a control's window comes to be made (asked for before its parent's, or added to a
// form already on screen), it is made once, inside its parent.
TEST_F(FormTest, ChildWindowsAreMadeOnceInTheirParent) {
    const auto child_windows = [](HWND parent) {
        int count = 0;
        for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            ++count;
        return count;
    };
    TForm form(nullptr);
    TButton early(&form);
    early.SetParent(&form);
    HWND button = early.Handle(); // before the form has a window
    EXPECT_EQ(GetParent(button), form.Handle());
    EXPECT_EQ(child_windows(form.Handle()), 1);

    form.Show();
    TButton late(&form);
    late.SetParent(&form);
    EXPECT_TRUE(late.HandleAllocated());
    EXPECT_EQ(GetParent(late.Handle()), form.Handle());
    EXPECT_EQ(child_windows(form.Handle()), 2);
}

// A default or cancel button that goes away leaves nothing behind in its form: Enter and
// Escape then do nothing instead of reaching freed memory.
TEST_F(FormTest, FreedDefaultAndCancelButtonsAreForgotten) {
    Dialog dialog;
    dialog.form.Show();
    TButton* panel_button = new TButton(nullptr);
    panel_button->SetParent(&dialog.form);
    panel_button->SetDefault(true);
    EXPECT_EQ(dialog.form.DefaultControl, panel_button);
    delete panel_button;
    EXPECT_EQ(dialog.form.DefaultControl, nullptr);
    dialog.cancel.SetParent(nullptr);
    EXPECT_EQ(dialog.form.CancelControl, nullptr);
    SendMessageW(dialog.form.Handle(), WM_COMMAND, IDCANCEL, 0);
    SendMessageW(dialog.form.Handle(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(dialog.cancel_clicks, 0);
    EXPECT_EQ(dialog.ok_clicks, 0);
}

// Coming back to the form (after a message box, say) gives the keyboard back to the control
// that had it, not to the first one.
TEST_F(FormTest, FocusReturnsToTheControlThatHadIt) {
    Dialog dialog;
    dialog.form.Show();
    SetFocus(dialog.cancel.Handle());
    test::RunLater(50, [] {
        if (HWND box = FindWindowW(L"#32770", L"Focus test"))
            PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    MessageBoxW(dialog.form.Handle(), L"Back to the form next.", L"Focus test", MB_OK);
    test::PumpMessages();
    EXPECT_EQ(GetFocus(), dialog.cancel.Handle());
}

// Tab follows TabOrder, whatever order the controls were made in; equal numbers keep it.
TEST_F(FormTest, TabFollowsTabOrder) {
    TForm form(nullptr);
    TButton a(&form), b(&form), c(&form), d(&form);
    for (TButton* button : {&a, &b, &c, &d})
        button->SetParent(&form);
    a.SetTabOrder(2);
    b.SetTabOrder(0);
    c.SetTabOrder(1);
    d.SetTabOrder(1);
    form.Show();
    const auto next = [&](TButton& from) {
        return GetNextDlgTabItem(form.Handle(), from.Handle(), FALSE);
    };
    EXPECT_EQ(GetNextDlgTabItem(form.Handle(), nullptr, FALSE), b.Handle());
    EXPECT_EQ(next(b), c.Handle());
    EXPECT_EQ(next(c), d.Handle());
    EXPECT_EQ(next(d), a.Handle());
    // Changed while shown.
    a.SetTabOrder(-1);
    EXPECT_EQ(GetNextDlgTabItem(form.Handle(), nullptr, FALSE), a.Handle());
    EXPECT_EQ(next(a), b.Handle());
}

// Stacked panels, as wizard pages are: the one brought to the front is last among its
// siblings and first in the window manager's order; a windowless control moves in the list.
TEST_F(FormTest, BringToFrontPutsAControlAboveItsSiblings) {
    TForm form(nullptr);
    TPanel a(&form), b(&form), c(&form);
    TLabel label(&form);
    for (TControl* control : std::initializer_list<TControl*>{&a, &b, &c, &label}) {
        control->SetParent(&form);
        control->SetBounds(0, 0, 100, 100);
    }
    form.Show();
    a.BringToFront();
    EXPECT_EQ(form.Controls().back(), &a);
    EXPECT_EQ(GetWindow(form.Handle(), GW_CHILD), a.Handle());
    b.BringToFront();
    EXPECT_EQ(GetWindow(form.Handle(), GW_CHILD), b.Handle());
    EXPECT_EQ(GetWindow(b.Handle(), GW_HWNDNEXT), a.Handle());
    label.BringToFront();
    EXPECT_EQ(form.Controls().back(), &label);
    const std::vector<TControl*> order{&c, &a, &b, &label};
    EXPECT_EQ(form.Controls(), order);
}

TEST_F(FormTest, BorderStyleAndIconsMakeTheWindowStyle) {
    TForm form(nullptr);
    form.BorderStyle = bsSingle;
    form.BorderIcons = biSystemMenu;
    form.FormStyle = fsStayOnTop;
    const LONG_PTR style = GetWindowLongPtrW(form.Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_TRUE(GetWindowLongPtrW(form.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(FormTest, FormStyleChangesAWindowThatExists) {
    TForm form(nullptr);
    form.SetFormStyle(fsStayOnTop);
    const auto topmost = [&] {
        return (GetWindowLongPtrW(form.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    };
    EXPECT_TRUE(topmost());
    form.SetFormStyle(fsNormal);
    EXPECT_FALSE(topmost());
    form.SetFormStyle(fsStayOnTop);
    EXPECT_TRUE(topmost());
}

} // namespace
} // namespace kalvo
