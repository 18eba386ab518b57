#include "app/framework/component.h"

#include "app/framework/class_info.h"

#include <algorithm>
#include <stdexcept>

namespace kalvo {

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner_)
        owner_->Insert(this);
}

TComponent::~TComponent() {
    SetState(csDestroying, true);
    DestroyComponents();
    if (owner_)
        owner_->Remove(this);
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) {
        TComponent* last = components_.back();
        last->owner_ = nullptr;
        components_.pop_back();
        delete last;
    }
}

void TComponent::Insert(TComponent* component) {
    components_.push_back(component);
}

void TComponent::Remove(TComponent* component) {
    components_.erase(std::remove(components_.begin(), components_.end(), component),
                      components_.end());
}

void TComponent::SetName(const std::string& name) {
    if (name == name_)
        return;
    if (!name.empty() && owner_) {
        const TComponent* other = owner_->FindComponent(name);
        if (other && other != this)
            throw std::invalid_argument("a component named \"" + name + "\" already exists");
    }
    name_ = name;
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    if (name.empty())
        return nullptr;
    for (TComponent* component : components_)
        if (component->name_ == name)
            return component;
    return nullptr;
}

const char* TComponent::ClassName() const {
    return ClassInfo().Name.c_str();
}

void TComponent::SetState(TComponentStateFlag flag, bool on) {
    state_ = on ? TComponentState(state_ | flag) : TComponentState(state_ & ~flag);
}

} // namespace kalvo
