#include "app/framework/controls/memo.h"

#include "app/framework/class_info.h"
#include "app/framework/controls/control_properties.h"

namespace kalvo {

std::vector<std::wstring> SplitLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    if (text.empty())
        return lines;
    std::wstring line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t ch = text[i];
        if (ch == L'\r' || ch == L'\n') {
            lines.push_back(std::move(line));
            line.clear();
            if (ch == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
                ++i;
        } else {
            line += ch;
        }
    }
    lines.push_back(std::move(line));
    return lines;
}

std::wstring JoinLines(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += L"\r\n";
        text += lines[i];
    }
    return text;
}

TMemo::TMemo(TComponent* owner) : TEdit(owner) {
    width_ = 185;
    height_ = 89;
}

void TMemo::CreateParams(TCreateParams& params) {
    TEdit::CreateParams(params);
    params.Style &= ~DWORD(ES_AUTOHSCROLL);
    params.Style |= ES_MULTILINE | ES_AUTOVSCROLL;
    if (want_returns_)
        params.Style |= ES_WANTRETURN;
    // Without wrapping, lines scroll sideways instead.
    if (!word_wrap_ || scroll_bars_ == ssHorizontal || scroll_bars_ == ssBoth)
        params.Style |= ES_AUTOHSCROLL;
    if (scroll_bars_ == ssVertical || scroll_bars_ == ssBoth)
        params.Style |= WS_VSCROLL;
    if (scroll_bars_ == ssHorizontal || scroll_bars_ == ssBoth)
        params.Style |= WS_HSCROLL;
}

std::vector<std::wstring> TMemo::Lines() const {
    return SplitLines(Text());
}

void TMemo::SetLines(const std::vector<std::wstring>& lines) {
    SetText(JoinLines(lines));
}

void TMemo::SetScrollBars(TScrollStyle scroll_bars) {
    if (scroll_bars == scroll_bars_)
        return;
    scroll_bars_ = scroll_bars;
    RecreateWnd();
}

void TMemo::SetWordWrap(bool word_wrap) {
    if (word_wrap == word_wrap_)
        return;
    word_wrap_ = word_wrap;
    RecreateWnd();
}

void TMemo::SetWantReturns(bool want_returns) {
    if (want_returns == want_returns_)
        return;
    want_returns_ = want_returns;
    RecreateWnd();
}

const TClassInfo& TMemo::StaticClassInfo() {
    static const TEnumInfo ScrollNames{{{"ssNone", ssNone},
                                        {"ssHorizontal", ssHorizontal},
                                        {"ssVertical", ssVertical},
                                        {"ssBoth", ssBoth}}};
    static const TClassInfo info =
        TClassBuilder<TMemo>("TMemo", &TEdit::StaticClassInfo())
            .Creatable()
            .Property(StringsProperty<TMemo>("Lines", &TMemo::Lines, &TMemo::SetLines))
            .Enum("ScrollBars", ScrollNames, &TMemo::ScrollBars, &TMemo::SetScrollBars)
            .Boolean("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap)
            .Boolean("WantReturns", &TMemo::WantReturns, &TMemo::SetWantReturns)
            .Build();
    return info;
}

} // namespace kalvo
