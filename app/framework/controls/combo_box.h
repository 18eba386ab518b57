// TComboBox: a list that drops down under a box, over the system's COMBOBOX class. With
// csDropDown the box is a text box the user may also type in; with csDropDownList the user
// can only pick an entry.
//
// OnChange runs for the user alone: when the user picks an entry (with the mouse or the
// keys) and, with csDropDown, when the user types. Nothing the program does raises it:
// setting Items, ItemIndex or Text.
#pragma once

#include "app/framework/win_control.h"

#include <string>
#include <vector>

namespace kalvo {

enum TComboBoxStyle : std::uint8_t { csDropDown, csDropDownList };

class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* owner);
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    // Changing the style gives the combo box a new window (if it has one).
    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle style);

    // Setting the entries clears the selection; with csDropDown the typed text stays.
    const std::vector<std::wstring>& Items() const { return items_; }
    void SetItems(const std::vector<std::wstring>& items);
    // The selected entry, or -1. With csDropDown, picking an entry puts its text in the box.
    int ItemIndex() const;
    void SetItemIndex(int index);
    // Entries the dropped-down list shows without scrolling.
    int DropDownCount() const { return drop_down_count_; }
    void SetDropDownCount(int count);
    bool DroppedDown() const;

    // With csDropDownList the text is the selected entry's. Setting the text selects the
    // entry with exactly that text, or none; a csDropDown box shows the text either way.
    std::wstring Text() const override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;
    void TextChanged() override;

private:
    // Messages the program sends to the window; the notifications they cause are not the
    // user's and raise nothing.
    class TProgramChange;
    LRESULT SendFromProgram(UINT msg, WPARAM wparam = 0, LPARAM lparam = 0);
    void FillWindow();

    TComboBoxStyle style_ = csDropDown;
    std::vector<std::wstring> items_;
    int item_index_ = -1;
    int drop_down_count_ = 8;
    int program_changes_ = 0;
};

} // namespace kalvo
