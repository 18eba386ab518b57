// TPageReport: a procedure of the setup engine shown on a page of the setup window. The page
// comes to the front when the procedure starts; progress and status are repainted at once;
// messages are message boxes over the window.
#pragma once

#include "setup/setup_report.h"

namespace kalvo {

class Tkalvo_setup;
class TsLabel;
class TsPanel;
class TsProgressBar;

class TPageReport : public TSetupReport {
public:
    // `status` may be null: the update page has no status line.
    TPageReport(Tkalvo_setup& window, TsPanel& page, TsProgressBar& progress, TsLabel* status)
        : window_(window), page_(page), progress_(progress), status_(status) {}

    void Started() override;
    void Progress(int percent) override;
    void Status(const std::wstring& text) override;
    void Tell(const std::wstring& text, TNoticeKind kind) override;
    bool Ask(const std::wstring& question) override;

private:
    Tkalvo_setup& window_;
    TsPanel& page_;
    TsProgressBar& progress_;
    TsLabel* status_;
};

} // namespace kalvo
