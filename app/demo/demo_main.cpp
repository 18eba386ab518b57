// The demo program: the framework's demo window, until the setup window exists. With
// KALVO_AUTOMATION naming a script, the script drives it.
#include "app/demo/demo_form.h"
#include "app/framework/application.h"
#include "app/framework/automation/automation_runner.h"
#include "app/framework/standard_classes.h"

#include <cstdio>
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    kalvo::TApplication application;
    application.Initialize();
    application.SetTitle(L"Kalvo.Net - Framework demo");
    kalvo::RegisterStandardClasses();
    try {
        application.CreateForm<kalvo::TDemoForm>();
    } catch (...) {
        application.HandleException(std::current_exception());
        return 1;
    }
    const bool scripted = kalvo::StartAutomationFromEnvironment();
    application.Run();
    // A script that the program outlived did not pass, whatever the program did.
    if (scripted && kalvo::AutomationRunning()) {
        std::fputs("automation: the program ended before the script did\n", stderr);
        return kalvo::AutomationFailureExitCode;
    }
    return 0;
}
