#include "app/framework/form_resources.h"

#include "app/framework/form_reader.h"
#include "app/framework/platform/text_convert.h"

#include <algorithm>
#include <stdexcept>
#include <windows.h>

namespace kalvo {

std::string_view FormResourceText(const std::string& name) {
    std::string upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char ch) { return char(std::toupper(ch)); });
    const std::wstring resource = Utf8ToWide(upper);
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, resource.c_str(), MAKEINTRESOURCEW(10)); // RT_RCDATA
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        throw std::runtime_error("the program has no form definition " + name);
    return {static_cast<const char*>(data), std::size_t(SizeofResource(module, found))};
}

void ReadFormResource(TComponent& root, const std::string& name, const THandlers& handlers) {
    ReadFormText(root, FormResourceText(name), name + ".form", handlers);
}

} // namespace kalvo
