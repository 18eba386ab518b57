// libFuzzer entry for the skin package reader: the input is the whole package. Refusing it
// with ESkinPackageError, or with the warning for data without the signature, is fine; any
// other exception, crash or sanitizer report is a finding. A package that reads must hold
// exactly what its entries said, and every entry must end inside the input, after the one
// before it.
#include "skin/skin_error.h"
#include "skin/skin_package.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kalvo::TMemoryStream source(std::vector<std::uint8_t>(data, data + size));
    kalvo::TacSkinConvertor package;
    package.SourceStream = &source;
    std::size_t entries = 0;
    std::int64_t inflated = 0;
    std::int64_t last_end = 8;
    bool warned = false;
    bool read = false;
    try {
        read = kalvo::ReadPackage(
            package, [&](const std::string&) { warned = true; },
            [&](const std::string&, std::int64_t entry_size, std::int64_t end) {
                if (end <= last_end || end > std::int64_t(size))
                    std::abort();
                last_end = end;
                ++entries;
                inflated += entry_size;
            });
    } catch (const kalvo::ESkinPackageError&) {
        if (!package.ImageEntries.empty() || package.OptionsData)
            std::abort();
        return 0;
    }
    if (read == warned)
        std::abort();
    if (!read) {
        if (!package.ImageEntries.empty() || package.OptionsData)
            std::abort();
        return 0;
    }

    std::int64_t held = package.OptionsData ? package.OptionsData->Size() : 0;
    for (const auto& item : package.ImageEntries) {
        held += item->Data.Size();
        const kalvo::TacImageItem* found = package.FindImage(item->Name);
        if (found && kalvo::SkinUpperCase(found->Name) != kalvo::SkinUpperCase(item->Name))
            std::abort();
    }
    if (package.ImageEntries.size() + (package.OptionsData ? 1 : 0) > entries ||
        package.ImageEntryCount != int(entries) - 1)
        std::abort();
    // A second options entry replaces the first, so its bytes are not all held.
    if (held > inflated)
        std::abort();
    package.FindImage("Master.bmp");
    return 0;
}
