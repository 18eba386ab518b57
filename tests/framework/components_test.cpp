#include "app/framework/class_info.h"
#include "app/framework/data_module.h"
#include "app/framework/form_resources.h"
#include "app/framework/timer.h"
#include "tests/framework/support/framework_fixture.h"

#include <stdexcept>

namespace kalvo {
namespace {

// Runs messages until `done` or the time is up.
template <class Done> bool WaitFor(Done done, int limit_ms = 2000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > DWORD(limit_ms))
            return false;
        test::PumpMessages(1);
    }
    return true;
}

using ComponentsTest = test::FrameworkTest;

TEST_F(ComponentsTest, OwnerFreesItsComponentsAndNamesAreUnique) {
    auto* owner = new TComponent(nullptr);
    auto* first = new TComponent(owner);
    first->SetName("First");
    auto* second = new TComponent(owner);
    EXPECT_THROW(second->SetName("First"), std::invalid_argument);
    second->SetName("Second");
    EXPECT_EQ(owner->FindComponent("Second"), second);
    delete first; // a component freed early leaves its owner's list
    EXPECT_EQ(owner->Components().size(), 1u);
    EXPECT_EQ(owner->FindComponent("First"), nullptr);
    delete owner; // frees Second; ASan or a crash would show a double free
}

TEST_F(ComponentsTest, TimerTicksWhileEnabledAndSurvivesAFailingHandler) {
    std::wstring reported;
    app.OnException = [&](const std::wstring& text) {
        reported = text;
    };
    TTimer timer(nullptr);
    timer.SetInterval(20);
    int ticks = 0;
    timer.OnTimer = [&](TComponent*) {
        if (++ticks == 2)
            throw std::runtime_error("tick failed");
    };
    EXPECT_TRUE(WaitFor([&] { return ticks >= 4; }));
    EXPECT_EQ(reported, L"tick failed");
    timer.SetEnabled(false);
    const int stopped_at = ticks;
    test::PumpMessages(10); // 100 ms: five intervals
    EXPECT_EQ(ticks, stopped_at);
}

class TTestModule : public TDataModule {
public:
    using TDataModule::TDataModule;
    static const TClassInfo& StaticClassInfo() {
        static const TClassInfo info =
            TClassBuilder<TTestModule>("TTestModule", &TDataModule::StaticClassInfo()).Build();
        return info;
    }
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    THandlers Handlers() {
        return {{{"ModuleCreate",
                  [this](TComponent*) {
                      created = true;
                  }},
                 {"Tick", [this](TComponent*) {
                      ++ticks;
                  }}}};
    }
    bool created = false;
    int ticks = 0;
};

// The definition is a resource of the test program (tests/framework/definitions).
TEST_F(ComponentsTest, DataModuleReadFromAResourceRunsOnCreateAndItsTimer) {
    RegisterComponentClass(TTimer::StaticClassInfo());
    TTestModule module(nullptr);
    ReadFormResource(module, "test_module", module.Handlers());
    EXPECT_FALSE(module.created) << "OnCreate runs when the owner says so, after reading";
    module.DoCreate();
    EXPECT_TRUE(module.created);

    auto* ticker = dynamic_cast<TTimer*>(module.FindComponent("Ticker"));
    ASSERT_NE(ticker, nullptr);
    EXPECT_EQ(ticker->Interval(), 30u);
    test::PumpMessages(8);
    EXPECT_EQ(module.ticks, 0) << "disabled in the definition";
    ticker->SetEnabled(true);
    EXPECT_TRUE(WaitFor([&] { return module.ticks >= 2; }));

    EXPECT_THROW(FormResourceText("no_such_form"), std::runtime_error);
}

} // namespace
} // namespace kalvo
