#include "app/framework/standard_classes.h"

#include "app/framework/class_info.h"
#include "app/framework/controls/bit_btn.h"
#include "app/framework/controls/button.h"
#include "app/framework/controls/check_box.h"
#include "app/framework/controls/combo_box.h"
#include "app/framework/controls/edit.h"
#include "app/framework/controls/group_box.h"
#include "app/framework/controls/image.h"
#include "app/framework/controls/label.h"
#include "app/framework/controls/memo.h"
#include "app/framework/controls/panel.h"
#include "app/framework/controls/progress_bar.h"
#include "app/framework/controls/radio_button.h"
#include "app/framework/controls/speed_button.h"
#include "app/framework/controls/tree_view.h"
#include "app/framework/dde_client_conv.h"
#include "app/framework/timer.h"

namespace kalvo {

void RegisterStandardClasses() {
    for (const TClassInfo* info : {
             &TBitBtn::StaticClassInfo(),
             &TButton::StaticClassInfo(),
             &TCheckBox::StaticClassInfo(),
             &TComboBox::StaticClassInfo(),
             &TDdeClientConv::StaticClassInfo(),
             &TEdit::StaticClassInfo(),
             &TGroupBox::StaticClassInfo(),
             &TImage::StaticClassInfo(),
             &TLabel::StaticClassInfo(),
             &TMemo::StaticClassInfo(),
             &TPanel::StaticClassInfo(),
             &TProgressBar::StaticClassInfo(),
             &TRadioButton::StaticClassInfo(),
             &TSpeedButton::StaticClassInfo(),
             &TTimer::StaticClassInfo(),
             &TTreeView::StaticClassInfo(),
         })
        RegisterComponentClass(*info);
}

} // namespace kalvo
