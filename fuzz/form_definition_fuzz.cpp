// libFuzzer entry for the form definition reader. Refusing a file with EFormDefinitionError
// is fine; any other exception, crash or sanitizer report is a finding. A file that reads
// must also survive a trip through the writer and back with the same content.
#include "app/framework/forms/form_definition.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    kalvo::TFormObject form;
    try {
        form = kalvo::ParseFormDefinition(text, "fuzz.form");
    } catch (const kalvo::EFormDefinitionError&) {
        return 0;
    }
    // What the writer makes, the reader must read back; any exception here escapes.
    const std::string written = kalvo::WriteFormDefinition(form);
    const kalvo::TFormObject again = kalvo::ParseFormDefinition(written, "written.form");
    if (!kalvo::SameFormContent(form, again))
        std::abort();
    // The writer's own text is its fixed point.
    if (kalvo::WriteFormDefinition(again) != written)
        std::abort();
    return 0;
}
