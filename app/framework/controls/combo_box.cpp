#include "app/framework/controls/combo_box.h"

#include "app/framework/class_info.h"
#include "app/framework/controls/control_paint.h"
#include "app/framework/controls/control_properties.h"

#include <algorithm>

namespace kalvo {

class TComboBox::TProgramChange {
public:
    explicit TProgramChange(TComboBox& combo) : combo_(combo) { ++combo_.program_changes_; }
    ~TProgramChange() { --combo_.program_changes_; }
    TProgramChange(const TProgramChange&) = delete;
    TProgramChange& operator=(const TProgramChange&) = delete;

private:
    TComboBox& combo_;
};

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner) {
    TabStop = true;
    color_ = clWindow;
    width_ = 145;
    height_ = 21;
}

void TComboBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"COMBOBOX";
    params.Style |=
        WS_VSCROLL | (style_ == csDropDown ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST);
    // The height a combo box is made with is that of the box and its dropped-down list; the
    // window keeps the box's own height.
    const int line = MeasureText(font_.Handle(), L"Wy", DT_SINGLELINE).cy;
    params.Height = height_ + drop_down_count_ * line + 2;
}

LRESULT TComboBox::SendFromProgram(UINT msg, WPARAM wparam, LPARAM lparam) {
    TProgramChange change(*this);
    return SendMessageW(WindowHandle(), msg, wparam, lparam);
}

void TComboBox::FillWindow() {
    SendFromProgram(CB_RESETCONTENT);
    for (const std::wstring& item : items_)
        SendFromProgram(CB_ADDSTRING, 0, LPARAM(item.c_str()));
    SendFromProgram(CB_SETCURSEL, WPARAM(item_index_));
}

void TComboBox::CreateWnd() {
    TWinControl::CreateWnd();
    FillWindow();
    if (style_ == csDropDown && item_index_ < 0)
        SendFromProgram(WM_SETTEXT, 0, LPARAM(text_.c_str()));
}

void TComboBox::SetStyle(TComboBoxStyle style) {
    if (style == style_)
        return;
    style_ = style;
    RecreateWnd();
}

void TComboBox::SetItems(const std::vector<std::wstring>& items) {
    const std::wstring typed = style_ == csDropDown ? Text() : std::wstring();
    items_ = items;
    item_index_ = -1;
    if (!WindowHandle())
        return;
    FillWindow();
    if (style_ == csDropDown)
        SendFromProgram(WM_SETTEXT, 0, LPARAM(typed.c_str()));
}

int TComboBox::ItemIndex() const {
    if (HWND window = WindowHandle())
        return int(SendMessageW(window, CB_GETCURSEL, 0, 0));
    return item_index_;
}

void TComboBox::SetItemIndex(int index) {
    if (index < 0 || index >= int(items_.size()))
        index = -1;
    item_index_ = index;
    if (WindowHandle())
        SendFromProgram(CB_SETCURSEL, WPARAM(index));
    else if (style_ == csDropDown)
        text_ = index >= 0 ? items_[std::size_t(index)] : std::wstring();
}

void TComboBox::SetDropDownCount(int count) {
    drop_down_count_ = std::max(count, 1);
    // A height above the box's own is the height of the box and the list.
    if (HWND window = WindowHandle()) {
        const int line = MeasureText(font_.Handle(), L"Wy", DT_SINGLELINE).cy;
        SetWindowPos(window, nullptr, 0, 0, width_, height_ + drop_down_count_ * line + 2,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

bool TComboBox::DroppedDown() const {
    HWND window = WindowHandle();
    return window && SendMessageW(window, CB_GETDROPPEDSTATE, 0, 0);
}

std::wstring TComboBox::Text() const {
    if (WindowHandle())
        return TWinControl::Text();
    if (style_ == csDropDownList)
        return item_index_ >= 0 ? items_[std::size_t(item_index_)] : std::wstring();
    return text_;
}

// The entry with the new text becomes the selection (or none); a drop-down box then shows
// the text itself (CM_TEXTCHANGED).
void TComboBox::TextChanged() {
    const std::wstring text = text_;
    const auto found = std::find(items_.begin(), items_.end(), text);
    SetItemIndex(found == items_.end() ? -1 : int(found - items_.begin()));
    text_ = text;
}

void TComboBox::WndProc(TMessage& message) {
    switch (message.Msg) {
    case CN_COMMAND:
        switch (HIWORD(message.WParam)) {
        case CBN_SELCHANGE:
            if (program_changes_ == 0) {
                item_index_ = ItemIndex();
                // The box shows the picked entry only after this notification; the handlers
                // read it already.
                if (style_ == csDropDown && item_index_ >= 0)
                    SendFromProgram(WM_SETTEXT, 0,
                                    LPARAM(items_[std::size_t(item_index_)].c_str()));
                Click();
                Changed();
            }
            return;
        case CBN_EDITCHANGE:
            if (program_changes_ == 0)
                Changed();
            return;
        default:
            break;
        }
        break;
    case CM_TEXTCHANGED:
        // A list-only box shows its entry; TextChanged has selected it.
        if (style_ == csDropDownList)
            return;
        {
            TProgramChange change(*this);
            TWinControl::WndProc(message);
        }
        return;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        // The box's own text box and list ask the box: they take its Color and font colour.
        message.Result = Perform(CN_CTLCOLOR, message.WParam, message.LParam);
        return;
    case WM_DESTROY:
        item_index_ = ItemIndex();
        break;
    default:
        break;
    }
    TWinControl::WndProc(message);
}

const TClassInfo& TComboBox::StaticClassInfo() {
    static const TEnumInfo StyleNames{
        {{"csDropDown", csDropDown}, {"csDropDownList", csDropDownList}}};
    static const TClassInfo info =
        TClassBuilder<TComboBox>("TComboBox", &TWinControl::StaticClassInfo())
            .Creatable()
            .Enum("Style", StyleNames, &TComboBox::Style, &TComboBox::SetStyle)
            .Property(StringsProperty<TComboBox>("Items", &TComboBox::Items, &TComboBox::SetItems))
            .Integer("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex)
            .Integer("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount)
            .Build();
    return info;
}

} // namespace kalvo
