// TDataModule1: the program's data module; its creation fills the message table.
#pragma once

#include "app/framework/class_info.h"
#include "app/framework/data_module.h"

namespace kalvo {

class TDataModule1 : public TDataModule {
public:
    explicit TDataModule1(TComponent* owner);
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

private:
    void DataModuleCreate(TComponent* sender);
};

extern TDataModule1* DataModule1;

} // namespace kalvo
