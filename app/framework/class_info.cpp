#include "app/framework/class_info.h"

#include "app/framework/platform/text_convert.h"
#include "imaging/color.h"

#include <cstdio>
#include <limits>

namespace kalvo {

namespace {

std::map<std::string, const TClassInfo*>& Registry() {
    static std::map<std::string, const TClassInfo*> registry;
    return registry;
}

const TEnumInfo& ColorNames() {
    static const TEnumInfo names{{
        {"clBlack", 0x000000},
        {"clMaroon", 0x000080},
        {"clGreen", 0x008000},
        {"clOlive", 0x008080},
        {"clNavy", 0x800000},
        {"clPurple", 0x800080},
        {"clTeal", 0x808000},
        {"clGray", 0x808080},
        {"clSilver", 0xC0C0C0},
        {"clRed", 0x0000FF},
        {"clLime", 0x00FF00},
        {"clYellow", 0x00FFFF},
        {"clBlue", 0xFF0000},
        {"clFuchsia", 0xFF00FF},
        {"clAqua", 0xFFFF00},
        {"clWhite", 0xFFFFFF},
        {"clScrollBar", int(clScrollBar)},
        {"clWindow", int(clWindow)},
        {"clWindowText", int(clWindowText)},
        {"clHighlight", int(clHighlight)},
        {"clHighlightText", int(clHighlightText)},
        {"clBtnFace", int(clBtnFace)},
        {"clBtnShadow", int(clBtnShadow)},
        {"clGrayText", int(clGrayText)},
        {"clBtnText", int(clBtnText)},
        {"clBtnHighlight", int(clBtnHighlight)},
    }};
    return names;
}

} // namespace

const std::pair<std::string, int>* TEnumInfo::Find(const std::string& name) const {
    for (const auto& value : Values)
        if (value.first == name)
            return &value;
    return nullptr;
}

std::string TEnumInfo::NameOf(int value) const {
    for (const auto& [name, number] : Values)
        if (number == value)
            return name;
    return std::to_string(value);
}

const TPropertyInfo* TClassInfo::FindProperty(const std::string& name) const {
    for (const TClassInfo* info = this; info; info = info->Parent)
        for (const TPropertyInfo& property : info->Properties)
            if (property.Name == name)
                return &property;
    return nullptr;
}

bool TClassInfo::InheritsFrom(const TClassInfo& other) const {
    for (const TClassInfo* info = this; info; info = info->Parent)
        if (info == &other)
            return true;
    return false;
}

void RegisterComponentClass(const TClassInfo& info) {
    Registry()[info.Name] = &info;
}

const TClassInfo* FindComponentClass(const std::string& name) {
    const auto it = Registry().find(name);
    return it == Registry().end() ? nullptr : it->second;
}

namespace {

const char* KindName(TFormValueKind kind) {
    switch (kind) {
    case fvInteger:
        return "an integer";
    case fvString:
        return "a string";
    case fvBoolean:
        return "true or false";
    case fvIdentifier:
        return "a name";
    case fvSet:
        return "a set";
    case fvStrings:
        return "a list of strings";
    case fvBinary:
        return "binary data";
    case fvItems:
        return "a collection";
    }
    return "a value";
}

void Expect(const TFormValue& value, TFormValueKind kind, const TReadContext& context) {
    if (value.Kind != kind)
        context.Fail(value.Line,
                     std::string("expected ") + KindName(kind) + ", found " + KindName(value.Kind));
}

} // namespace

std::int64_t IntegerValue(const TFormValue& value, const TReadContext& context) {
    Expect(value, fvInteger, context);
    if (value.Integer < std::numeric_limits<int>::min() ||
        value.Integer > std::numeric_limits<int>::max())
        context.Fail(value.Line, "the number " + std::to_string(value.Integer) + " is too large");
    return value.Integer;
}

bool BooleanValue(const TFormValue& value, const TReadContext& context) {
    Expect(value, fvBoolean, context);
    return value.Boolean;
}

std::wstring StringValue(const TFormValue& value, const TReadContext& context) {
    Expect(value, fvString, context);
    return Utf8ToWide(value.Text);
}

int EnumValue(const TFormValue& value, const TEnumInfo& info, const TReadContext& context) {
    Expect(value, fvIdentifier, context);
    const auto* found = info.Find(value.Text);
    if (!found) {
        std::string names;
        for (const auto& [name, number] : info.Values)
            names += (names.empty() ? "" : ", ") + name;
        context.Fail(value.Line, "'" + value.Text + "' is not one of " + names);
    }
    return found->second;
}

int SetValue(const TFormValue& value, const TEnumInfo& info, const TReadContext& context) {
    Expect(value, fvSet, context);
    int bits = 0;
    for (const std::string& member : value.List) {
        const auto* found = info.Find(member);
        if (!found)
            context.Fail(value.Line, "'" + member + "' is not a member of this set");
        bits |= found->second;
    }
    return bits;
}

std::uint32_t ColorValue(const TFormValue& value, const TReadContext& context) {
    if (value.Kind == fvIdentifier) {
        const auto* found = ColorNames().Find(value.Text);
        if (!found)
            context.Fail(value.Line, "'" + value.Text + "' is not a colour name");
        return std::uint32_t(found->second);
    }
    Expect(value, fvInteger, context);
    if (value.Integer < 0 || value.Integer > 0xFFFFFFFF)
        context.Fail(value.Line, "a colour is a number from 0 to 0xFFFFFFFF");
    return std::uint32_t(value.Integer);
}

std::string ColorName(std::uint32_t color) {
    for (const auto& [name, number] : ColorNames().Values)
        if (std::uint32_t(number) == color)
            return name;
    return std::to_string(color);
}

std::string QuoteString(const std::wstring& text) {
    std::string quoted = "\"";
    for (const char ch : WideToUtf8(text)) {
        switch (ch) {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '\t':
            quoted += "\\t";
            break;
        default:
            quoted += ch;
        }
    }
    return quoted + "\"";
}

} // namespace kalvo
