// The automation runner: plays a script (automation_script.h) inside the running program, from
// whatever message loop is running at the time: the application's, a modal form's or one the
// system runs itself (a message box).
//
// It is driven by a thread timer whose procedure runs at most one step per tick and never
// re-enters itself. Steps that act as the user (click, type, key, pick) post their messages
// to the queue, as real input arrives, instead of sending them: a click whose handler runs
// ShowModal or MessageBox then opens that loop from the program's own dispatch, the step
// itself has long returned, and the next ticks keep running the script from inside the new
// loop. Each such step also posts a marker behind its input; the next step waits until the
// marker has been handled, that is until the input was taken from the queue and dispatched
// (or until the loop it opened has started to run).
//
// The first failing step writes "automation: LINE: message" to stderr and to the log; a
// script that ends without quit fails, and so does one that runs longer than its timeout.
#pragma once

#include <functional>
#include <string>

namespace kalvo {

class TApplication;

// The exit code of a program whose script failed.
inline constexpr int AutomationFailureExitCode = 3;

struct TAutomationOutcome {
    bool Passed = false;
    int Line = 0;        // the failing line (0 when no line is to blame)
    std::string Message; // why it failed
};

struct TAutomationOptions {
    // On failure the process ends at once with AutomationFailureExitCode (after the message
    // is written), whatever loop or message box is running. When false, OnFinished hears of it
    // and the application is asked to end (Terminate), as after quit.
    bool ExitOnFailure = true;
    // Called once when the script ends, passed or failed; it must not start or stop a script.
    std::function<void(const TAutomationOutcome&)> OnFinished;
    // The log: first "process age at the first step: N ms" (the time from the process's
    // creation to the first step) and "time from the script's start to the first step: N ms",
    // then every step as it runs ("LINE: the line"), then the failure or
    // "automation: passed". Empty: no log.
    std::wstring LogPath;
    unsigned TimeoutMs = 60000;    // the whole script
    unsigned IdleTimeoutMs = 5000; // wait-idle, and for posted input to be taken
};

// Runs the script named by the environment variable KALVO_AUTOMATION, with the log named by
// KALVO_AUTOMATION_LOG and the timeout in KALVO_AUTOMATION_TIMEOUT (milliseconds); failures
// end the process with AutomationFailureExitCode. To be called once the program's forms
// exist, before its message loop runs. False when KALVO_AUTOMATION is not set.
bool StartAutomationFromEnvironment();

// A program's message loop under the script the environment names, for its entry once its
// forms exist: StartAutomationFromEnvironment, then application.Run(). Returns the program's
// exit code: 0, or AutomationFailureExitCode (with a message on stderr) when the program
// ended before its script did, which is no pass whatever the program did.
int RunWithAutomationFromEnvironment(TApplication& application);

// Starts a script: a text with a line break is the script itself; anything else names a
// script file if such a file exists and is the script otherwise. A script that cannot be
// read or parsed fails at once. A script still running is stopped first.
void StartAutomation(const std::wstring& script_text_or_path, TAutomationOptions options);

// Stops the running script without a result (tests clean up with it).
void StopAutomation();

// Whether a script has started and not ended yet.
bool AutomationRunning();

} // namespace kalvo
