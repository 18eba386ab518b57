// Published properties: what a class lets form definitions set and scripts read, declared
// once per class. A TClassInfo names the class, its parent class, how to make an instance and
// its properties; the registry finds classes by name for the form reader.
//
// A property's setter takes the value as the definition file has it (TFormValue) and a
// TReadContext that resolves what only the reader knows: enumeration names, colour names,
// other components and the form's handlers. Its getter gives the value written as in a
// definition ("42", "true", "\"text\"", "alClient"), for scripts to compare.
#pragma once

#include "app/framework/component.h"
#include "app/framework/forms/form_definition.h"

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace kalvo {

enum TPropertyKind : std::uint8_t {
    pkInteger,
    pkString,
    pkBoolean,
    pkEnum,
    pkSet,
    pkColor,
    pkComponent,
    pkEvent,
    pkStrings,
    pkBinary,
    pkItems
};

// Names of an enumeration's values (or of a set's members, each a bit).
struct TEnumInfo {
    std::vector<std::pair<std::string, int>> Values;
    const std::pair<std::string, int>* Find(const std::string& name) const;
    std::string NameOf(int value) const; // the number itself when no name has it
};

class TReadContext;

struct TPropertyInfo {
    std::string Name; // may be a dotted path (Font.Name)
    TPropertyKind Kind = pkInteger;
    const TEnumInfo* Enum = nullptr; // pkEnum, pkSet
    std::function<void(TComponent&, const TFormValue&, TReadContext&)> Set;
    std::function<std::string(const TComponent&)> Get; // empty: not readable
};

struct TClassInfo {
    std::string Name;
    const TClassInfo* Parent = nullptr;
    std::function<TComponent*(TComponent* owner)> Create; // empty: not made by the reader
    std::vector<TPropertyInfo> Properties;

    // Looks in this class, then in its ancestors.
    const TPropertyInfo* FindProperty(const std::string& name) const;
    bool InheritsFrom(const TClassInfo& other) const;
};

// Classes the form reader can make, by name.
void RegisterComponentClass(const TClassInfo& info);
const TClassInfo* FindComponentClass(const std::string& name);

// Handlers of a form, by the names definitions bind events to.
struct THandlers {
    std::map<std::string, TNotifyEvent> Notify;
};

// A handler that runs a method of the form or module: {"FormShow", Method(this,
// &TMyForm::FormShow)}.
template <class T> TNotifyEvent Method(T* object, void (T::*method)(TComponent*)) {
    return [object, method](TComponent* sender) { (object->*method)(sender); };
}

// The component `name` of class T among those `owner` owns; throws std::logic_error when
// there is none, which means that a definition and its code do not match.
template <class T> T* RequiredComponent(const TComponent& owner, const std::string& name) {
    T* found = dynamic_cast<T*>(owner.FindComponent(name));
    if (!found)
        throw std::logic_error(owner.Name() + " has no " + name + " of class " +
                               T::StaticClassInfo().Name);
    return found;
}
// The same into a field: RequiredComponent(*this, Button1, "Button1").
template <class T> void RequiredComponent(const TComponent& owner, T*& field, const std::string& name) {
    field = RequiredComponent<T>(owner, name);
}

// What a property setter may ask of the reader.
class TReadContext {
public:
    virtual ~TReadContext() = default;
    // Raises EFormDefinitionError at the value's line.
    [[noreturn]] virtual void Fail(int line, const std::string& reason) const = 0;
    virtual TNotifyEvent NotifyHandler(const TFormValue& value) const = 0;
    // Component references are resolved when every component exists.
    virtual void ResolveLater(const TFormValue& value,
                              std::function<void(TComponent* target)> assign) = 0;
};

// Value helpers for setters: each checks the kind and fails with the line otherwise.
std::int64_t IntegerValue(const TFormValue& value, const TReadContext& context);
bool BooleanValue(const TFormValue& value, const TReadContext& context);
std::wstring StringValue(const TFormValue& value, const TReadContext& context);
int EnumValue(const TFormValue& value, const TEnumInfo& info, const TReadContext& context);
int SetValue(const TFormValue& value, const TEnumInfo& info, const TReadContext& context);
// Integers, or colour names (clBtnFace, clWindow, ...).
std::uint32_t ColorValue(const TFormValue& value, const TReadContext& context);
std::string ColorName(std::uint32_t color);
std::string QuoteString(const std::wstring& text);

// Builds a TClassInfo for class T with short declarations:
//   TClassBuilder<TButton>("TButton", &TWinControl::StaticClassInfo())
//       .Boolean("Default", &TButton::Default, &TButton::SetDefault)
//       .Build();
template <class T> class TClassBuilder {
public:
    TClassBuilder(std::string name, const TClassInfo* parent) {
        info_.Name = std::move(name);
        info_.Parent = parent;
    }
    TClassBuilder& Creatable() {
        info_.Create = [](TComponent* owner) -> TComponent* {
            return new T(owner);
        };
        return *this;
    }
    TClassBuilder& Property(TPropertyInfo property) {
        info_.Properties.push_back(std::move(property));
        return *this;
    }
    template <class Getter, class Setter>
    TClassBuilder& Integer(std::string name, Getter get, Setter set) {
        return Property({std::move(name), pkInteger, nullptr,
                         [set](TComponent& c, const TFormValue& v, TReadContext& ctx) {
                             std::invoke(set, static_cast<T&>(c), int(IntegerValue(v, ctx)));
                         },
                         [get](const TComponent& c) {
                             return std::to_string(std::invoke(get, static_cast<const T&>(c)));
                         }});
    }
    template <class Getter, class Setter>
    TClassBuilder& Boolean(std::string name, Getter get, Setter set) {
        return Property({std::move(name), pkBoolean, nullptr,
                         [set](TComponent& c, const TFormValue& v, TReadContext& ctx) {
                             std::invoke(set, static_cast<T&>(c), BooleanValue(v, ctx));
                         },
                         [get](const TComponent& c) -> std::string {
                             return std::invoke(get, static_cast<const T&>(c)) ? "true" : "false";
                         }});
    }
    template <class Getter, class Setter>
    TClassBuilder& String(std::string name, Getter get, Setter set) {
        return Property({std::move(name), pkString, nullptr,
                         [set](TComponent& c, const TFormValue& v, TReadContext& ctx) {
                             std::invoke(set, static_cast<T&>(c), StringValue(v, ctx));
                         },
                         [get](const TComponent& c) {
                             return QuoteString(std::invoke(get, static_cast<const T&>(c)));
                         }});
    }
    template <class Getter, class Setter>
    TClassBuilder& Enum(std::string name, const TEnumInfo& values, Getter get, Setter set) {
        using E = std::decay_t<std::invoke_result_t<Getter, const T&>>;
        return Property({std::move(name), pkEnum, &values,
                         [set, &values](TComponent& c, const TFormValue& v, TReadContext& ctx) {
                             std::invoke(set, static_cast<T&>(c), E(EnumValue(v, values, ctx)));
                         },
                         [get, &values](const TComponent& c) {
                             return values.NameOf(int(std::invoke(get, static_cast<const T&>(c))));
                         }});
    }
    template <class Getter, class Setter>
    TClassBuilder& SetOf(std::string name, const TEnumInfo& members, Getter get, Setter set) {
        using S = std::decay_t<std::invoke_result_t<Getter, const T&>>;
        return Property({std::move(name), pkSet, &members,
                         [set, &members](TComponent& c, const TFormValue& v, TReadContext& ctx) {
                             std::invoke(set, static_cast<T&>(c), S(SetValue(v, members, ctx)));
                         },
                         [get, &members](const TComponent& c) {
                             const int bits = int(std::invoke(get, static_cast<const T&>(c)));
                             std::string text = "[";
                             for (const auto& [member, bit] : members.Values)
                                 if (bits & bit)
                                     text += (text.size() > 1 ? ", " : "") + member;
                             return text + "]";
                         }});
    }
    template <class Getter, class Setter>
    TClassBuilder& Color(std::string name, Getter get, Setter set) {
        return Property({std::move(name), pkColor, nullptr,
                         [set](TComponent& c, const TFormValue& v, TReadContext& ctx) {
                             std::invoke(set, static_cast<T&>(c), ColorValue(v, ctx));
                         },
                         [get](const TComponent& c) {
                             return ColorName(std::invoke(get, static_cast<const T&>(c)));
                         }});
    }
    // An event of type TNotifyEvent held in a member.
    TClassBuilder& Event(std::string name, TNotifyEvent T::*member) {
        return Property({std::move(name),
                         pkEvent,
                         nullptr,
                         [member](TComponent& c, const TFormValue& v, TReadContext& ctx) {
                             static_cast<T&>(c).*member = ctx.NotifyHandler(v);
                         },
                         {}});
    }
    TClassInfo Build() { return std::move(info_); }

private:
    TClassInfo info_;
};

} // namespace kalvo
