// TApplication: the program's message loop, its title, its forms and the standard error box
// for exceptions that end a handler.
#pragma once

#include "app/framework/component.h"

#include <exception>
#include <functional>
#include <string>
#include <windows.h>

namespace kalvo {

class TForm;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    const std::wstring& Title() const { return title_; }
    void SetTitle(const std::wstring& title) { title_ = title; }

    void Initialize() {}
    // Creates a form owned by the application; the first one becomes the main form.
    template <class T> T* CreateForm() {
        T* form = new T(this);
        FormCreated(form);
        return form;
    }
    TForm* MainForm() const { return main_form_; }

    // Shows the main form and runs the message loop until it closes or Terminate is called.
    void Run();
    // Asks the message loop to end (closing the main form does); Terminated is true once the
    // loop has seen the request.
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Handles every message waiting now, then returns.
    void ProcessMessages();
    // One message: waits for it when `wait`; false when there was none (or WM_QUIT came).
    bool HandleMessage(bool wait);

    // A message box over the active window of the program, captioned with the title; returns
    // the button pressed (IDOK, ...).
    int ShowMessageBox(const std::wstring& text, UINT flags = MB_OK);

    // Shows the error in the standard error box (or gives it to OnException); the program
    // goes on.
    void HandleException(std::exception_ptr error);
    std::function<void(const std::wstring& message)> OnException;

    // Called with every message before it is dispatched; true when it was handled. The
    // automation runner and the forms' keyboard navigation use it.
    std::function<bool(MSG&)> OnMessage;

    // A form is going away: the application forgets it.
    void FormDestroyed(TForm* form);

private:
    void FormCreated(TForm* form);

    std::wstring title_;
    TForm* main_form_ = nullptr;
    bool terminated_ = false;
};

// The one application object of the program (null until it is made).
extern TApplication* Application;

// What window procedures call when a handler throws.
void HandleFrameworkException(std::exception_ptr error);

// The text of an exception as the error box shows it.
std::wstring ExceptionText(std::exception_ptr error);

} // namespace kalvo
