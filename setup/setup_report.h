// How the setup engine's procedures talk to whoever runs them: the setup window, or a test.
// The engine decides what happens and in which order; the window decides how it looks.
#pragma once

#include <string>

namespace kalvo {

enum TNoticeKind : unsigned char {
    nkPlain,   // a plain message, as "Could NOT delete ..."
    nkWarning, // something was refused; nothing was changed
    nkError,   // the procedure cannot go on as asked
};

class TSetupReport {
public:
    virtual ~TSetupReport() = default;
    // The procedure passed its checks and begins its work: its page comes to the front.
    virtual void Started() = 0;
    // The progress bar, 0 to 100, shown at once.
    virtual void Progress(int percent) = 0;
    // The status line, shown at once.
    virtual void Status(const std::wstring& text) = 0;
    // A message the user reads and closes before the procedure goes on.
    virtual void Tell(const std::wstring& text, TNoticeKind kind) = 0;
    // A yes-or-no question; true for yes.
    virtual bool Ask(const std::wstring& question) = 0;
};

} // namespace kalvo
