#include "setup/setup_mode.h"
#include "setup/setup_state.h"

#include <gtest/gtest.h>

namespace kalvo {
namespace {

// The uninstaller copy's size and a full setup file's.
constexpr std::uint64_t Stub = SetupStubSize;
constexpr std::uint64_t Full = 5'000'000;

TEST(SetupModeTest, DecidesEveryRowOfTheStartUpTable) {
    struct Case {
        TStartupFacts facts;
        TSetupMode mode;
    };
    const Case cases[] = {
        // The uninstaller copy.
        {{Stub, false, false, false}, smUninstallFinished},
        {{Stub, true, false, false}, smInstall},
        {{Stub, true, false, true}, smInstall},
        {{Stub, true, true, true}, smUninstall}, // whatever the versions
        {{Stub, true, true, false}, smUninstall},
        // A full setup.
        {{Full, false, false, false}, smInstall},
        {{Full, true, false, true}, smInstall},
        {{Full, true, true, true}, smUpdate},
        {{Full, true, true, false}, smUninstall},
        // The size threshold itself.
        {{FullSetupMinSize - 1, false, false, false}, smUninstallFinished},
        {{FullSetupMinSize, false, false, false}, smInstall},
        {{FullSetupMinSize - 1, true, true, true}, smUninstall},
        {{FullSetupMinSize, true, true, true}, smUpdate},
        {{0, false, false, false}, smUninstallFinished},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(SetupModeName(DecideSetupMode(c.facts)), SetupModeName(c.mode))
            << "size " << c.facts.OwnSize << ", record " << c.facts.RecordExists << ", client "
            << c.facts.ClientExists << ", update possible " << c.facts.UpdatePossible;
}

// A mode that would unpack the payload gives way when the payload is missing or damaged; the
// others never look at it.
TEST(SetupModeTest, APayloadThatWouldNotUnpackOffersNoInstallOrUpdate) {
    struct Case {
        TStartupFacts facts;
        TSetupMode mode;
    };
    const Case cases[] = {
        // The uninstaller copy beside its record, the client gone: nothing to install from.
        {{Stub, true, false, false, psNone}, smUninstall},
        {{Full, false, false, false, psDamaged}, smNoAction},
        {{Full, true, false, false, psDamaged}, smUninstall},
        {{Full, true, true, true, psDamaged}, smUninstall},
        {{Full, true, true, true, psWhole}, smUpdate},
        // Uninstall by the table: damage changes nothing but the note.
        {{Full, true, true, false, psDamaged}, smUninstall},
        {{Stub, false, false, false, psNone}, smUninstallFinished},
        {{Stub, true, true, true, psNone}, smUninstall},
        // A download cut short below the full size is a damaged setup file, no uninstaller.
        {{Stub + 5000, false, false, false, psDamaged}, smNoAction},
        {{Stub + 5000, true, false, false, psDamaged}, smUninstall},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(SetupModeName(DecideSetupMode(c.facts)), SetupModeName(c.mode))
            << "size " << c.facts.OwnSize << ", record " << c.facts.RecordExists << ", client "
            << c.facts.ClientExists << ", payload " << int(c.facts.Payload);
    }
    // Where the payload is looked at: every file longer than its image, and the uninstaller
    // copy where it would install.
    EXPECT_TRUE(PayloadMatters({Stub, true, false, false}));
    EXPECT_TRUE(PayloadMatters({Stub + 1, false, false, false}));
    EXPECT_TRUE(PayloadMatters({Full, true, true, false}));
    EXPECT_FALSE(PayloadMatters({Stub, false, false, false}));
    EXPECT_FALSE(PayloadMatters({Stub, true, true, true}));
}

TEST(SetupModeTest, EnablesAndChecksTheChoicesOfEachMode) {
    struct Case {
        TSetupMode mode;
        TActionChoices choices;
    };
    const Case cases[] = {
        {smInstall, {true, true, false, false, false, false}},
        {smUpdate, {false, false, true, true, true, false}},
        {smUninstall, {false, false, false, false, true, true}},
        {smNoAction, {false, false, false, false, false, false}},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(ActionChoices(c.mode) == c.choices) << SetupModeName(c.mode);
}

} // namespace
} // namespace kalvo
