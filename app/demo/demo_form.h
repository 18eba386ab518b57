// The framework's demo window, read from demo_form.form: every standard control wired to a
// handler, so that a person (or an automation script) can try them all.
#pragma once

#include "app/framework/class_info.h"
#include "app/framework/form.h"

namespace kalvo {

class TLabel;
class TEdit;
class TComboBox;
class TCheckBox;
class TRadioButton;
class TProgressBar;
class TTreeView;

class TDemoForm : public TForm {
public:
    explicit TDemoForm(TComponent* owner);
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

private:
    void FormCreate(TComponent* sender);
    void NameChanged(TComponent* sender);
    void LanguageChanged(TComponent* sender);
    void StepClick(TComponent* sender);
    void AboutClick(TComponent* sender);
    void OkClick(TComponent* sender);
    void CloseClick(TComponent* sender);
    template <class T> T& Find(const char* name) const;

    void SetStatus(const std::wstring& text);
};

} // namespace kalvo
