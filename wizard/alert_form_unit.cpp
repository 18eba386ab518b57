#include "wizard/alert_form_unit.h"

#include "app/framework/form_resources.h"
#include "controls/s_button.h"
#include "controls/s_label.h"
#include "setup/setup_state.h"
#include "setup/message_table.h"

namespace kalvo {

Talert_form* alert_form = nullptr;

Talert_form::Talert_form(TComponent* owner) : TForm(owner) {
    ReadFormResource(*this, "alert_form",
                     {{
                         {"FormShow", Method(this, &Talert_form::FormShow)},
                         {"sButton1Click", Method(this, &Talert_form::sButton1Click)},
                         {"sButton2Click", Method(this, &Talert_form::sButton2Click)},
                     }});
    RequiredComponent(*this, sLabel1, "sLabel1");
    RequiredComponent(*this, sLabel2, "sLabel2");
    RequiredComponent(*this, sButton1, "sButton1");
    RequiredComponent(*this, sButton2, "sButton2");
    DoCreate();
}

const TClassInfo& Talert_form::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<Talert_form>("Talert_form", &TForm::StaticClassInfo()).Build();
    return info;
}

void Talert_form::FormShow(TComponent*) {
    // Every question opens with the focus on "No", whatever had it when the last one closed.
    SetActiveControl(sButton2);
    sLabel1->SetText(Message(miAttention));
    sButton1->SetText(Message(miYes));
    sButton2->SetText(Message(miNo));
}

void Talert_form::sButton1Click(TComponent*) {
    AlertResult = 1;
    Close();
}

void Talert_form::sButton2Click(TComponent*) {
    AlertResult = 0;
    Close();
}

} // namespace kalvo
