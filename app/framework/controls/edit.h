// TEdit: a one-line text box over the system's EDIT class. OnChange runs after every change
// of the text, whether the user typed it or the program set it (SetText).
#pragma once

#include "app/framework/win_control.h"

namespace kalvo {

class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* owner);
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    // The most characters the user may type; 0 for no limit. Text set by the program is not
    // cut to it.
    int MaxLength() const { return max_length_; }
    void SetMaxLength(int length);
    // A read-only box shows its text and lets the user select and copy it, not change it.
    bool ReadOnly() const { return read_only_; }
    void SetReadOnly(bool read_only);

    void SelectAll();

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;
    void TextChanged() override;

private:
    int max_length_ = 0;
    bool read_only_ = false;
};

} // namespace kalvo
