// Form definitions built into the program: each definition file is an RCDATA resource named
// after the file (upper case, without the extension), added by the build's
// kalvo_add_form_definitions.
#pragma once

#include "app/framework/class_info.h"

#include <string>
#include <string_view>

namespace kalvo {

// The text of a definition; throws std::runtime_error when the program has none of that name.
std::string_view FormResourceText(const std::string& name);

// Reads the definition `name` into root (see form_reader.h); errors name "name.form".
void ReadFormResource(TComponent& root, const std::string& name, const THandlers& handlers);

} // namespace kalvo
