// Talert_form: the confirmation dialog, one borderless window made at start and shown for
// every yes-or-no question. The caller writes the question into sLabel2, shows the dialog
// modally and reads the answer from AlertResult.
#pragma once

#include "app/framework/class_info.h"
#include "app/framework/form.h"

namespace kalvo {

class TsButton;
class TsLabel;

class Talert_form : public TForm {
public:
    explicit Talert_form(TComponent* owner);
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    TsLabel* sLabel1 = nullptr; // the heading
    TsLabel* sLabel2 = nullptr; // the question
    TsButton* sButton1 = nullptr; // yes
    TsButton* sButton2 = nullptr; // no

private:
    // On every showing: the heading and the answers in the current language.
    void FormShow(TComponent* sender);
    void sButton1Click(TComponent* sender);
    void sButton2Click(TComponent* sender);
};

extern Talert_form* alert_form;

} // namespace kalvo
