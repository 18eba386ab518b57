// skin-pack OUT.asz FILE...: writes a skin package whose entries are the files, named by
// their base names, in the order given.
// skin-pack --list IN.asz: reads a package with the skin reader and prints one line per entry:
// its name, its inflated size and the offset in the package where its zlib stream ends,
// separated by tabs. A package the reader refuses prints the reason and ends with exit code 1.
#include "imaging/file_bytes.h"
#include "skin/skin_error.h"
#include "skin/skin_package.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: skin-pack OUT.asz FILE...\n"
                         "       skin-pack --list IN.asz\n");
    return 2;
}

int List(const char* file) {
    kalvo::TacSkinConvertor package;
    kalvo::TMemoryStream source(kalvo::ReadFileBytes(file));
    package.SourceStream = &source;
    std::string warning;
    const bool read = kalvo::ReadPackage(
        package, [&](const std::string& text) { warning = text; },
        [](const std::string& name, std::int64_t size, std::int64_t end) {
            std::printf("%s\t%lld\t%lld\n", name.c_str(), static_cast<long long>(size),
                        static_cast<long long>(end));
        });
    if (!read) {
        std::fprintf(stderr, "%s: %s\n", file, warning.c_str());
        return 1;
    }
    return 0;
}

int Pack(const char* target, int count, char** files) {
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> entries;
    for (int i = 0; i < count; ++i) {
        const std::filesystem::path path(files[i]);
        entries.emplace_back(path.filename().string(), kalvo::ReadFileBytes(path));
    }
    kalvo::WriteFileBytes(target, kalvo::WritePackage(entries));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return Usage();
    const std::string first = argv[1];
    if (first == "--list" && argc != 3)
        return Usage();
    const char* subject = first == "--list" ? argv[2] : "skin-pack";
    try {
        if (first == "--list")
            return List(argv[2]);
        return Pack(argv[1], argc - 2, argv + 2);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", subject, error.what());
        return 1;
    }
}
