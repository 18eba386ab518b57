// Reading a form definition into live components: the root (usually a form) exists; every
// object inside is made from its class, named, given its parent, and its properties are set
// in stored order; events bind to the handlers the caller names; references to other
// components are resolved once all exist; then Loaded runs on every component read.
// Anything the definition asks that cannot be done (an unknown class, property or handler,
// a value of the wrong kind) raises EFormDefinitionError with the file and line.
#pragma once

#include "app/framework/class_info.h"

#include <string>
#include <string_view>

namespace kalvo {

void ReadForm(TComponent& root, const TFormObject& definition, const std::string& file_name,
              const THandlers& handlers);
void ReadFormText(TComponent& root, std::string_view text, const std::string& file_name,
                  const THandlers& handlers);

} // namespace kalvo
