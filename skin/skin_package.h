// Skin packages: the signature "ASzf", an entry count, and entries of a name, an inflated
// size and one zlib stream each. Reading inflates every entry into memory; the options
// entry ("Options.dat", any case) apart from the pictures.
#pragma once

#include "skin/skin_files.h"
#include "skin/skin_stream.h"
#include "skin/skin_text.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kalvo {

// Receives the text of a warning the user should see (the caller shows it in a box).
using TSkinWarning = std::function<void(const std::string& text)>;

// The warning for data that is not a skin package.
extern const char* const NotASkinPackageWarning;

struct TacImageItem {
    std::string Name;       // as stored in the package
    bool IsBitmap = false;  // the name's extension, upper-cased, is ".BMP"
    TMemoryStream Data;     // the inflated bytes
};

class TacSkinConvertor {
public:
    TacSkinConvertor() = default;
    TacSkinConvertor(const TacSkinConvertor&) = delete;
    TacSkinConvertor& operator=(const TacSkinConvertor&) = delete;

    // N - 1 for a package of N entries: only the first ImageEntryCount picture entries are
    // ever found by name.
    int ImageEntryCount = 0;
    std::vector<std::unique_ptr<TacImageItem>> ImageEntries;
    std::unique_ptr<TMemoryStream> OptionsData;

    // The stream being read; owned when the package was opened from a file.
    TSkinStream* SourceStream = nullptr;
    std::unique_ptr<TSkinStream> OwnedSource;

    // Frees the entries, the options and an owned source.
    void Clear();
    // The picture entry whose upper-cased name equals the upper-cased `name`, searched among
    // the first ImageEntryCount entries; nullptr when there is none.
    const TacImageItem* FindImage(const std::string& name) const;
};

// Reads SourceStream from position 0. Data without the signature: `warn` gets
// NotASkinPackageWarning, the convertor is emptied and the result is false. A truncated
// package or a damaged zlib stream throws ESkinPackageError. After each entry the source
// stands exactly behind that entry's zlib stream.
bool ReadPackage(TacSkinConvertor& convertor, const TSkinWarning& warn);

// Told about each entry once it is read: its name, its inflated size and the source position
// right behind its zlib stream (where the next entry begins).
using TSkinPackageEntryObserver =
    std::function<void(const std::string& name, std::int64_t size, std::int64_t end)>;

// ReadPackage, telling `on_entry` (when set) about each entry read.
bool ReadPackage(TacSkinConvertor& convertor, const TSkinWarning& warn,
                 const TSkinPackageEntryObserver& on_entry);

// When `file` exists: empties `convertor` (or makes one), loads the whole file into an owned
// in-memory source, reads it, and frees the source when `free_source` is set. Returns what
// ReadPackage returned; false and nothing done when the file does not exist.
bool LoadPackageFile(const ISkinFiles& files, const std::string& file,
                     std::unique_ptr<TacSkinConvertor>& convertor, bool free_source,
                     const TSkinWarning& warn);

// The reverse of ReadPackage: entries in the given order, each compressed with zlib's
// default level (header bytes 78 9C).
std::vector<std::uint8_t> WritePackage(
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& entries);

} // namespace kalvo
