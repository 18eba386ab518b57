// TForm: a top-level window holding controls, shown modeless or modal.
#pragma once

#include "app/framework/win_control.h"

namespace kalvo {

enum TFormBorderStyle : std::uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow };
enum TBorderIcon : std::uint8_t { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = std::uint8_t;
enum TFormStyle : std::uint8_t { fsNormal, fsStayOnTop };
enum TPosition : std::uint8_t { poDesigned, poScreenCenter };
enum TCloseAction : std::uint8_t { caNone, caHide };

enum TModalResult : int {
    mrNone = 0,
    mrOk = IDOK,
    mrCancel = IDCANCEL,
    mrAbort = IDABORT,
    mrRetry = IDRETRY,
    mrIgnore = IDIGNORE,
    mrYes = IDYES,
    mrNo = IDNO,
};

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    TFormBorderStyle BorderStyle = bsSizeable;
    TBorderIcons BorderIcons = biSystemMenu | biMinimize | biMaximize;
    TFormStyle FormStyle = fsNormal;
    // Also applies to a window that exists already: it goes to or leaves the topmost band.
    void SetFormStyle(TFormStyle style);
    TPosition Position = poDesigned;

    RECT ClientRect() const override;
    int ClientWidth() const;
    int ClientHeight() const;
    void SetClientSize(int width, int height);

    // Show runs OnShow before the window becomes visible.
    void Show();
    void Hide();
    // Asks OnClose; a modal form ends its loop with mrCancel unless a result is set; the
    // main form ends the application.
    void Close();
    // Shows the form and runs messages until ModalResult is set or the form closes; the
    // other windows of the program are disabled meanwhile.
    int ShowModal();
    int ModalResult = mrNone;

    // Gives the keyboard to a control of the form: now when the form is active, otherwise
    // when it next becomes active (instead of the control that had it last).
    void SetActiveControl(TWinControl* control);

    // The buttons Enter and Escape press (set by the buttons' Default and Cancel).
    TControl* DefaultControl = nullptr;
    TControl* CancelControl = nullptr;

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnDestroy;
    std::function<void(TComponent* sender, TCloseAction& action)> OnClose;

    // Runs OnCreate; the form reader calls it after Loaded.
    virtual void DoCreate();

    void ControlRemoved(TControl* control) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    void RestoreFocus();

    bool modal_ = false;
    HWND last_focus_ = nullptr; // the child window that had the focus when the form went inactive
};

} // namespace kalvo
