// Helpers for tests of windows: an application object per test and message pumping.
#pragma once

#include "app/framework/application.h"

#include <functional>
#include <gtest/gtest.h>

namespace kalvo::test {

class FrameworkTest : public testing::Test {
protected:
    TApplication app;
};

// Handles waiting messages for a short while (painting, posted messages).
void PumpMessages(int rounds = 5);

// Runs `action` from the message loop `delay_ms` from now (once), so that it can act while a
// modal loop or message box runs.
void RunLater(int delay_ms, std::function<void()> action);

} // namespace kalvo::test
