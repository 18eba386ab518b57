#include "setup/setup_mode.h"

#include "setup/setup_state.h"

namespace kalvo {

namespace {

TSetupMode ModeBySizeAndRecord(const TStartupFacts& facts) {
    const bool full_setup = facts.OwnSize >= FullSetupMinSize;
    if (!facts.RecordExists)
        return full_setup ? smInstall : smUninstallFinished;
    if (!facts.ClientExists)
        return smInstall;
    return full_setup && facts.UpdatePossible ? smUpdate : smUninstall;
}

} // namespace

bool PayloadMatters(const TStartupFacts& facts) {
    const TSetupMode mode = ModeBySizeAndRecord(facts);
    return mode == smInstall || mode == smUpdate || facts.OwnSize > SetupStubSize;
}

TSetupMode DecideSetupMode(const TStartupFacts& facts) {
    if (facts.Payload != psWhole && PayloadMatters(facts))
        return facts.RecordExists ? smUninstall : smNoAction;
    return ModeBySizeAndRecord(facts);
}

TActionChoices ActionChoices(TSetupMode mode) {
    TActionChoices choices;
    switch (mode) {
    case smUninstallFinished:
    case smNoAction:
        break;
    case smInstall:
        choices.InstallEnabled = choices.InstallChecked = true;
        break;
    case smUpdate:
        choices.UpdateEnabled = choices.UpdateChecked = true;
        choices.UninstallEnabled = true;
        break;
    case smUninstall:
        choices.UninstallEnabled = choices.UninstallChecked = true;
        break;
    }
    return choices;
}

} // namespace kalvo
