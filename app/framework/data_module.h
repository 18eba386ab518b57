// TDataModule: a holder of non-visual components with its own definition; OnCreate runs
// once it has been read.
#pragma once

#include "app/framework/component.h"

namespace kalvo {

class TDataModule : public TComponent {
public:
    explicit TDataModule(TComponent* owner) : TComponent(owner) {}
    ~TDataModule() override {
        if (OnDestroy)
            OnDestroy(this);
    }
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    void DoCreate() {
        if (OnCreate)
            OnCreate(this);
    }
    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
};

} // namespace kalvo
