// The setup program: installer, updater and uninstaller in one file. Built with the test
// automation (the CMake option KALVO_AUTOMATION), a script named by the environment variable
// KALVO_AUTOMATION drives it; the release is built without it and plays no script.
#include "app/framework/application.h"
#include "controls/skinned_classes.h"
#include "wizard/alert_form_unit.h"
#include "wizard/data_module1.h"
#include "wizard/kalvo_setup.h"
#ifdef KALVO_WITH_AUTOMATION
#include "app/framework/automation/automation_runner.h"
#endif

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
#ifdef KALVO_WITH_AUTOMATION
    return RunWithAutomationFromEnvironment(application);
#else
    application.Run();
    return 0;
#endif
}
