#include "app/framework/form_reader.h"

#include "app/framework/win_control.h"

#include <stdexcept>
#include <vector>

namespace kalvo {

namespace {

class TFormReader final : public TReadContext {
public:
    TFormReader(TComponent& root, std::string file_name, const THandlers& handlers)
        : root_(root), file_name_(std::move(file_name)), handlers_(handlers) {}

    void Read(const TFormObject& definition) {
        const TClassInfo& root_class = root_.ClassInfo();
        if (definition.ClassName != root_class.Name)
            Fail(definition.Line, "the definition is of class " + definition.ClassName +
                                      ", the component is a " + root_class.Name);
        Rename(root_, definition.Name, definition.Line);
        root_.SetState(csLoading, true);
        ReadObject(root_, definition);
        for (const auto& [value, assign] : fixups_)
            assign(Resolve(value));
        for (TComponent* component : read_)
            component->Loaded();
        root_.Loaded();
    }

    [[noreturn]] void Fail(int line, const std::string& reason) const override {
        throw EFormDefinitionError(file_name_, line, reason);
    }

    TNotifyEvent NotifyHandler(const TFormValue& value) const override {
        if (value.Kind != fvIdentifier)
            Fail(value.Line, "an event is bound to a handler by its name");
        const auto it = handlers_.Notify.find(value.Text);
        if (it == handlers_.Notify.end())
            Fail(value.Line, root_.ClassInfo().Name + " has no handler '" + value.Text + "'");
        return it->second;
    }

    void ResolveLater(const TFormValue& value,
                      std::function<void(TComponent* target)> assign) override {
        if (value.Kind != fvIdentifier)
            Fail(value.Line, "a component is named by its name");
        fixups_.emplace_back(value, std::move(assign));
    }

private:
    TComponent* Resolve(const TFormValue& value) const {
        if (value.Text == root_.Name())
            return &root_;
        TComponent* target = root_.FindComponent(value.Text);
        if (!target)
            Fail(value.Line, "there is no component named '" + value.Text + "'");
        return target;
    }

    void Rename(TComponent& component, const std::string& name, int line) const {
        try {
            component.SetName(name);
        } catch (const std::invalid_argument& error) {
            Fail(line, error.what());
        }
    }

    void ReadObject(TComponent& component, const TFormObject& definition) {
        component.SetState(csReading, true);
        const TClassInfo& info = component.ClassInfo();
        for (const TFormProperty& property : definition.Properties) {
            const TPropertyInfo* published = info.FindProperty(property.Name);
            if (!published || !published->Set)
                Fail(property.Line, info.Name + " has no property '" + property.Name + "'");
            published->Set(component, property.Value, *this);
        }
        component.SetState(csReading, false);
        for (const TFormObject& child : definition.Children)
            ReadObject(MakeChild(component, child), child);
    }

    TComponent& MakeChild(TComponent& container, const TFormObject& definition) {
        const TClassInfo* info = FindComponentClass(definition.ClassName);
        if (!info)
            Fail(definition.Line, "unknown class " + definition.ClassName);
        if (!info->Create)
            Fail(definition.Line, "a " + definition.ClassName + " cannot be made by a definition");
        // Every component belongs to the root, which frees it; controls sit in the control
        // whose object encloses them.
        TComponent* component = info->Create(&root_);
        component->SetState(csLoading, true);
        read_.push_back(component);
        Rename(*component, definition.Name, definition.Line);
        if (auto* control = dynamic_cast<TControl*>(component)) {
            auto* parent = dynamic_cast<TWinControl*>(&container);
            if (!parent)
                Fail(definition.Line, "a " + container.ClassInfo().Name + " cannot hold controls");
            control->SetParent(parent);
        }
        return *component;
    }

    TComponent& root_;
    std::string file_name_;
    const THandlers& handlers_;
    std::vector<TComponent*> read_;
    std::vector<std::pair<TFormValue, std::function<void(TComponent*)>>> fixups_;
};

} // namespace

void ReadForm(TComponent& root, const TFormObject& definition, const std::string& file_name,
              const THandlers& handlers) {
    TFormReader(root, file_name, handlers).Read(definition);
}

void ReadFormText(TComponent& root, std::string_view text, const std::string& file_name,
                  const THandlers& handlers) {
    ReadForm(root, ParseFormDefinition(text, file_name), file_name, handlers);
}

} // namespace kalvo
