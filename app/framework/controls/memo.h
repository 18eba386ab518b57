// TMemo: a text box of several lines over the system's EDIT class. Everything TEdit does
// (MaxLength, ReadOnly, OnChange) works the same.
#pragma once

#include "app/framework/controls/edit.h"

#include <string>
#include <vector>

namespace kalvo {

enum TScrollStyle : std::uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

class TMemo : public TEdit {
public:
    explicit TMemo(TComponent* owner);
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    // The text as lines. Reading splits at every line break (CR LF, LF or CR), so "a\r\n"
    // is two lines, the second empty; an empty text is no lines. Setting joins the lines
    // with CR LF between them, so every list of lines without breaks of their own reads
    // back the same (except one empty line, which is an empty text).
    std::vector<std::wstring> Lines() const;
    void SetLines(const std::vector<std::wstring>& lines);

    // These change the window's style; a memo that has a window gets a new one, with the
    // same text.
    TScrollStyle ScrollBars() const { return scroll_bars_; }
    void SetScrollBars(TScrollStyle scroll_bars);
    // Long lines wrap at the right edge (unless there is a horizontal scroll bar).
    bool WordWrap() const { return word_wrap_; }
    void SetWordWrap(bool word_wrap);
    // Enter starts a new line (otherwise it goes to the form's default button).
    bool WantReturns() const { return want_returns_; }
    void SetWantReturns(bool want_returns);

protected:
    void CreateParams(TCreateParams& params) override;

private:
    TScrollStyle scroll_bars_ = ssNone;
    bool word_wrap_ = true;
    bool want_returns_ = true;
};

// The splitting and joining Lines and SetLines use.
std::vector<std::wstring> SplitLines(const std::wstring& text);
std::wstring JoinLines(const std::vector<std::wstring>& lines);

} // namespace kalvo
