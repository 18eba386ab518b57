// Automation scripts: the text that drives the program the way a user would, for tests of the
// real program. This part only reads the text; automation_runner.h runs it.
//
// One command per line; blank lines and lines whose first non-blank character is '#' are
// ignored. Arguments are separated by blanks (spaces or tabs) and may be written in double
// quotes to contain blanks, with the escapes \" \\ and \n. The file is UTF-8; a byte order
// mark at its start is skipped; lines end with LF or CR LF.
//
//     click NAME                   a left click at the centre of the control
//     type NAME TEXT               focus the control's window, then one character per UTF-16 unit
//     key KEY                      a key with optional modifiers: Enter, Shift+Tab, Alt+F4, A
//     pick NAME INDEX              choose entry INDEX (from 0) of a combo box or list box
//     wait-idle                    until no input, paint or posted message is waiting
//     sleep MS                     let the program run for MS milliseconds
//     dump FILE.json               every window of the program, as JSON
//     screenshot FILE.png [NAME]   the active window, or the named control or form
//     expect NAME.PROPERTY = VALUE a published property (or Focused, Showing) read as text
//     quit                         end with success: the program closes
//
// NAME is a component name, optionally qualified by its form's name: FORM.NAME. In expect, the
// text after '=' (without surrounding blanks) is the VALUE exactly as written, compared with
// the notation of form definitions: 42, true, "text" (quotes and escapes included), alClient,
// [akLeft, akTop].
//
// KEY names a key, not a character: Enter, Escape, Tab, Space, Backspace, Delete, Insert,
// Home, End, PageUp, PageDown, Up, Down, Left, Right, F1 to F12, a letter or a digit, each
// optionally preceded by Shift+, Ctrl+ and Alt+ (in any order). Names are not case-sensitive;
// `key a` and `key A` press the same key (Shift+A gives a capital letter).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kalvo {

enum TScriptCommand : std::uint8_t {
    scClick,
    scType,
    scKey,
    scPick,
    scWaitIdle,
    scSleep,
    scDump,
    scScreenshot,
    scExpect,
    scQuit
};

// A key of the keyboard and the modifiers held while it is pressed.
struct TKeyStroke {
    std::uint16_t VirtualKey = 0; // the Windows virtual-key code
    bool Extended = false;        // a key of the extended block (arrows, Home, End, ...)
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
};

struct TScriptStep {
    TScriptCommand Command = scQuit;
    int Line = 0;
    std::string Source; // the line as written, without surrounding blanks
    // click, type, pick, screenshot: the control (NAME or FORM.NAME; empty for a screenshot of
    // the active window). expect: the whole dotted path before '=', resolved when it runs,
    // since FORM.NAME.Font.Name and NAME.Font.Name cannot be told apart by the text alone.
    std::string Target;
    // type: the text (UTF-8); dump, screenshot: the file name; expect: the expected value.
    std::string Text;
    std::int64_t Number = 0; // pick: the index; sleep: milliseconds
    TKeyStroke Key;          // key
};

struct TAutomationScript {
    std::vector<TScriptStep> Steps;
    int LineCount = 0; // lines in the file: where "ended without quit" is reported
};

class EAutomationScriptError : public std::runtime_error {
public:
    EAutomationScriptError(int line, const std::string& reason);
    int Line() const { return line_; }
    const std::string& Reason() const { return reason_; }

private:
    int line_;
    std::string reason_;
};

// Reads a whole script; the first line that breaks the rules raises EAutomationScriptError
// with its line number.
TAutomationScript ParseAutomationScript(std::string_view text);

// A key description as in the script (Shift+Tab); raises std::invalid_argument otherwise.
TKeyStroke ParseKeyStroke(std::string_view text);

} // namespace kalvo
