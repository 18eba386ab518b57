// The setup program: installer, updater and uninstaller in one file. With KALVO_AUTOMATION
// naming a script, the script drives it.
#include "app/framework/application.h"
#include "app/framework/automation/automation_runner.h"
#include "controls/skinned_classes.h"
#include "wizard/alert_form_unit.h"
#include "wizard/data_module1.h"
#include "wizard/kalvo_setup.h"

#include <cstdio>
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace kalvo;
    TApplication application;
    application.Initialize();
    application.SetTitle(L"Kalvo.Net - Setup");
    RegisterSkinnedClasses();
    try {
        // The window first: nothing reads the message table before it is shown.
        kalvo_setup = application.CreateForm<Tkalvo_setup>();
        DataModule1 = new TDataModule1(&application);
        alert_form = application.CreateForm<Talert_form>();
    } catch (...) {
        application.HandleException(std::current_exception());
        return 1;
    }
    const bool scripted = StartAutomationFromEnvironment();
    application.Run();
    // A script that the program outlived did not pass, whatever the program did.
    if (scripted && AutomationRunning()) {
        std::fputs("automation: the program ended before the script did\n", stderr);
        return AutomationFailureExitCode;
    }
    return 0;
}
