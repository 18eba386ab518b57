#include "wizard/page_report.h"

#include "app/framework/application.h"
#include "controls/s_label.h"
#include "controls/s_progress_bar.h"
#include "wizard/kalvo_setup.h"

namespace kalvo {

void TPageReport::Started() {
    window_.show_page(page_);
}

void TPageReport::Progress(int percent) {
    progress_.SetPosition(percent);
    progress_.Repaint();
}

void TPageReport::Status(const std::wstring& text) {
    if (!status_)
        return;
    status_->SetText(text);
    status_->Repaint();
}

void TPageReport::Tell(const std::wstring& text, TNoticeKind kind) {
    UINT icon = 0;
    if (kind == nkWarning)
        icon = MB_ICONWARNING;
    else if (kind == nkError)
        icon = MB_ICONERROR;
    Application->ShowMessageBox(text, MB_OK | icon);
}

// A system question box sizes itself to the text, which names a folder of any length; "No"
// is its default, so that Enter alone changes nothing.
bool TPageReport::Ask(const std::wstring& question) {
    return Application->ShowMessageBox(question, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) ==
           IDYES;
}

} // namespace kalvo
