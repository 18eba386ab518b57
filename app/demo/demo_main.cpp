// The demo program: the framework's demo window, until the setup window exists. Built with
// the test automation (the CMake option KALVO_AUTOMATION), a script named by the environment
// variable KALVO_AUTOMATION drives it.
#include "app/demo/demo_form.h"
#include "app/framework/application.h"
#include "app/framework/standard_classes.h"
#ifdef KALVO_WITH_AUTOMATION
#include "app/framework/automation/automation_runner.h"
#endif

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
#ifdef KALVO_WITH_AUTOMATION
    return kalvo::RunWithAutomationFromEnvironment(application);
#else
    application.Run();
    return 0;
#endif
}
