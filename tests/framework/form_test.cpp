#include "app/framework/controls/button.h"
#include "app/framework/form.h"
#include "tests/framework/support/framework_fixture.h"

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

} // namespace
} // namespace kalvo
