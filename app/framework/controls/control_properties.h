// Published properties of the standard controls that the class builder has no short form
// for: lists of strings (a memo's lines, a combo box's items) and binary data (pictures).
#pragma once

#include "app/framework/class_info.h"
#include "app/framework/platform/text_convert.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kalvo {

// A list of strings: set from `strings { ... }`, read back in the same form.
template <class T, class Getter, class Setter>
TPropertyInfo StringsProperty(std::string name, Getter get, Setter set) {
    return {std::move(name), pkStrings, nullptr,
            [set](TComponent& c, const TFormValue& v, TReadContext& ctx) {
                if (v.Kind != fvStrings)
                    ctx.Fail(v.Line, "expected a list of strings");
                std::vector<std::wstring> list;
                for (const std::string& entry : v.List)
                    list.push_back(Utf8ToWide(entry));
                std::invoke(set, static_cast<T&>(c), list);
            },
            [get](const TComponent& c) {
                std::string text = "strings {";
                for (const std::wstring& entry : std::invoke(get, static_cast<const T&>(c)))
                    text += " " + QuoteString(entry);
                return text + " }";
            }};
}

// Binary data handed to the setter as bytes (`hex { ... }`); not readable back. Data the
// setter refuses (a picture it cannot decode) is reported at the value's line.
template <class T, class Setter> TPropertyInfo BinaryProperty(std::string name, Setter set) {
    return {std::move(name),
            pkBinary,
            nullptr,
            [set](TComponent& c, const TFormValue& v, TReadContext& ctx) {
                if (v.Kind != fvBinary)
                    ctx.Fail(v.Line, "expected binary data");
                std::optional<std::string> error;
                try {
                    std::invoke(set, static_cast<T&>(c), std::span<const std::uint8_t>(v.Binary));
                } catch (const std::exception& e) {
                    error = e.what();
                }
                if (error)
                    ctx.Fail(v.Line, *error);
            },
            {}};
}

} // namespace kalvo
