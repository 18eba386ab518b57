#include "wizard/data_module1.h"

#include "app/framework/form_resources.h"
#include "setup/message_table.h"

namespace kalvo {

TDataModule1* DataModule1 = nullptr;

TDataModule1::TDataModule1(TComponent* owner) : TDataModule(owner) {
    ReadFormResource(*this, "data_module1",
                     {{{"DataModuleCreate", Method(this, &TDataModule1::DataModuleCreate)}}});
    DoCreate();
}

const TClassInfo& TDataModule1::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TDataModule1>("TDataModule1", &TDataModule::StaticClassInfo()).Build();
    return info;
}

void TDataModule1::DataModuleCreate(TComponent*) {
    fill_message_table();
}

} // namespace kalvo
