#include "app/framework/controls/button.h"
#include "app/framework/form.h"
#include "tests/framework/support/framework_fixture.h"

#include <string>
#include <vector>

namespace kalvo {
namespace {

constexpr UINT Probe = WM_APP + 7;

// A hook that writes its letter for every probe message and passes it on.
TWndHook Recording(std::string& log, char letter) {
    return [&log, letter](TMessage& message, const TWndMethod& next) {
        if (message.Msg == Probe)
            log += letter;
        next(message);
    };
}

class ProbeControl : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    std::string* log = nullptr;

protected:
    void WndProc(TMessage& message) override {
        if (message.Msg == Probe) {
            *log += '.';
            message.Result = 42;
            return;
        }
        TGraphicControl::WndProc(message);
    }
};

using WindowProcTest = test::FrameworkTest;

// Three hooks on a windowless control: newest first, then the control itself; removing them
// in any order leaves the others seeing every message.
TEST_F(WindowProcTest, HookChainSurvivesRemovalOutOfOrder) {
    std::string log;
    ProbeControl control(nullptr);
    control.log = &log;
    const THookId a = control.HookWindowProc(Recording(log, 'A'));
    const THookId b = control.HookWindowProc(Recording(log, 'B'));
    const THookId c = control.HookWindowProc(Recording(log, 'C'));
    struct Step {
        THookId remove;
        const char* expected;
    };
    const Step steps[] = {{0, "CBA."}, {b, "CA."}, {a, "C."}, {c, "."}};
    for (const Step& step : steps) {
        if (step.remove)
            control.UnhookWindowProc(step.remove);
        log.clear();
        EXPECT_EQ(control.Perform(Probe), 42);
        EXPECT_EQ(log, step.expected);
    }
}

// On a windowed control, messages sent to the window take the same chain. A hook removed
// while a message travels (here by a newer hook) does not see that message any more; the
// older hooks and the control still do.
TEST_F(WindowProcTest, WindowMessagesTakeTheChainAndHooksMayUnhookWhileRunning) {
    TForm form(nullptr);
    TButton button(&form);
    button.SetParent(&form);
    std::string log;
    button.HookWindowProc(Recording(log, 'Z'));
    const THookId a = button.HookWindowProc(Recording(log, 'A'));
    const THookId b = button.HookWindowProc([&](TMessage& message, const TWndMethod& next) {
        if (message.Msg == Probe) {
            log += 'B';
            button.UnhookWindowProc(a);
        }
        next(message);
    });
    const THookId c = button.HookWindowProc(Recording(log, 'C'));
    SendMessageW(button.Handle(), Probe, 0, 0);
    EXPECT_EQ(log, "CBZ");
    log.clear();
    SendMessageW(button.Handle(), Probe, 0, 0);
    EXPECT_EQ(log, "CBZ");
    button.UnhookWindowProc(c);
    button.UnhookWindowProc(b);
    log.clear();
    SendMessageW(button.Handle(), Probe, 0, 0);
    EXPECT_EQ(log, "Z");
    // The system class still does its work behind the chain.
    SetWindowTextW(button.Handle(), L"Changed");
    EXPECT_EQ(button.Text(), L"Changed");
}

// A hook can swallow a message: neither the control nor the older hooks see it.
TEST_F(WindowProcTest, HookCanSwallowAMessage) {
    std::string log;
    ProbeControl control(nullptr);
    control.log = &log;
    control.HookWindowProc(Recording(log, 'A'));
    control.HookWindowProc([](TMessage& message, const TWndMethod& next) {
        if (message.Msg == Probe)
            message.Result = 7;
        else
            next(message);
    });
    EXPECT_EQ(control.Perform(Probe), 7);
    EXPECT_EQ(log, "");
}

} // namespace
} // namespace kalvo
