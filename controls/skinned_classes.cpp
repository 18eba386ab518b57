#include "controls/skinned_classes.h"

#include "app/framework/class_info.h"
#include "app/framework/standard_classes.h"
#include "controls/s_button.h"
#include "controls/s_check_box.h"
#include "controls/s_combo_box.h"
#include "controls/s_directory_edit.h"
#include "controls/s_edit.h"
#include "controls/s_group_box.h"
#include "controls/s_label.h"
#include "controls/s_memo.h"
#include "controls/s_panel.h"
#include "controls/s_progress_bar.h"
#include "controls/s_radio_button.h"
#include "controls/s_skin_manager.h"
#include "controls/s_skin_provider.h"

namespace kalvo {

void RegisterSkinnedClasses() {
    RegisterStandardClasses();
    for (const TClassInfo* info : {
             &TsButton::StaticClassInfo(),
             &TsCheckBox::StaticClassInfo(),
             &TsComboBox::StaticClassInfo(),
             &TsDirectoryEdit::StaticClassInfo(),
             &TsEdit::StaticClassInfo(),
             &TsGroupBox::StaticClassInfo(),
             &TsLabel::StaticClassInfo(),
             &TsMemo::StaticClassInfo(),
             &TsPanel::StaticClassInfo(),
             &TsProgressBar::StaticClassInfo(),
             &TsRadioButton::StaticClassInfo(),
             &TsSkinManager::StaticClassInfo(),
             &TsSkinProvider::StaticClassInfo(),
         })
        RegisterComponentClass(*info);
}

} // namespace kalvo
