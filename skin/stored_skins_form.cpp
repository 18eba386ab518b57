#include "skin/stored_skins_form.h"

#include "skin/option_values.h"

#include <charconv>
#include <stdexcept>

namespace kalvo {

namespace {

[[noreturn]] void Refuse(const TFormProperty& property, const std::string& reason) {
    throw std::invalid_argument("line " + std::to_string(property.Line) + ": InternalSkins." +
                                property.Name + " " + reason);
}

const TFormValue& Expect(const TFormProperty& property, TFormValueKind kind) {
    if (property.Value.Kind != kind)
        Refuse(property, "has a value of the wrong kind");
    return property.Value;
}

std::int32_t Integer(const TFormProperty& property) {
    const std::int64_t value = Expect(property, fvInteger).Integer;
    if (value < INT32_MIN || value > UINT32_MAX)
        Refuse(property, "is out of range");
    return std::int32_t(value);
}

double Fraction(const TFormProperty& property) {
    if (property.Value.Kind == fvInteger)
        return double(property.Value.Integer);
    const double value = ParseFraction(Expect(property, fvString).Text, -1e300);
    if (value == -1e300)
        Refuse(property, "is not a number");
    return value;
}

TFormProperty Property(const char* name, TFormValue value) {
    TFormProperty property;
    property.Name = name;
    property.Value = std::move(value);
    return property;
}

TFormValue IntegerValue(std::int64_t value) {
    TFormValue v;
    v.Kind = fvInteger;
    v.Integer = value;
    return v;
}

TFormValue StringValue(const std::string& text) {
    TFormValue v;
    v.Kind = fvString;
    v.Text = text;
    return v;
}

} // namespace

void ReadStoredSkins(const TFormValue& items, TsStoredSkins& skins) {
    if (items.Kind != fvItems)
        throw std::invalid_argument("line " + std::to_string(items.Line) +
                                    ": InternalSkins is not a collection");
    TsStoredSkins read;
    for (const TFormItem& item : items.Items) {
        TsStoredSkin& skin = read.Add();
        for (const TFormProperty& p : item.Properties) {
            if (p.Name == "Name")
                skin.Name = Expect(p, fvString).Text;
            else if (p.Name == "Data")
                skin.Data = TMemoryStream(Expect(p, fvBinary).Binary);
            else if (p.Name == "Version")
                skin.Version = Fraction(p);
            else if (p.Name == "Author")
                skin.Author = Expect(p, fvString).Text;
            else if (p.Name == "Description")
                skin.Description = Expect(p, fvString).Text;
            else if (p.Name == "Shadow1Color")
                skin.Shadow1Color = TColor(Integer(p));
            else if (p.Name == "Shadow1Offset")
                skin.Shadow1Offset = Integer(p);
            else if (p.Name == "Shadow1Blur")
                skin.Shadow1Blur = Integer(p);
            else if (p.Name == "Shadow1Transparency")
                skin.Shadow1Transparency = Integer(p);
            else if (p.Name == "BorderColor")
                skin.BorderColor = TColor(Integer(p));
            else
                Refuse(p, "is not a property of an internal skin");
        }
    }
    skins = std::move(read);
}

TFormValue WriteStoredSkins(const TsStoredSkins& skins) {
    TFormValue value;
    value.Kind = fvItems;
    const TsStoredSkin defaults;
    for (int i = 0; i < skins.Count(); ++i) {
        const TsStoredSkin& skin = skins.Item(i);
        TFormItem item;
        auto add = [&](const char* name, TFormValue v) {
            item.Properties.push_back(Property(name, std::move(v)));
        };
        if (!skin.Name.empty())
            add("Name", StringValue(skin.Name));
        if (skin.Shadow1Color != defaults.Shadow1Color)
            add("Shadow1Color", IntegerValue(std::int32_t(skin.Shadow1Color)));
        if (skin.Shadow1Offset != defaults.Shadow1Offset)
            add("Shadow1Offset", IntegerValue(skin.Shadow1Offset));
        if (skin.Shadow1Blur != defaults.Shadow1Blur)
            add("Shadow1Blur", IntegerValue(skin.Shadow1Blur));
        if (skin.Shadow1Transparency != defaults.Shadow1Transparency)
            add("Shadow1Transparency", IntegerValue(skin.Shadow1Transparency));
        if (skin.BorderColor != defaults.BorderColor)
            add("BorderColor", IntegerValue(std::int32_t(skin.BorderColor)));
        if (skin.Version != defaults.Version) {
            char text[64];
            const auto end = std::to_chars(text, text + sizeof text, skin.Version).ptr;
            add("Version", StringValue(std::string(text, end)));
        }
        if (!skin.Author.empty())
            add("Author", StringValue(skin.Author));
        if (!skin.Description.empty())
            add("Description", StringValue(skin.Description));
        if (skin.IsPacked()) {
            TFormValue data;
            data.Kind = fvBinary;
            data.Binary = skin.Data.Bytes();
            add("Data", std::move(data));
        }
        value.Items.push_back(std::move(item));
    }
    return value;
}

} // namespace kalvo
