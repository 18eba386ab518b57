// Reading and writing skin packages.
//
// An entry's compressed length is stored nowhere: its end is found by inflating it. The
// reader takes the source in blocks of ReadAheadSize bytes and, once the zlib stream has
// ended, seeks the source back over what the inflater did not consume, so that the next
// entry starts exactly behind the stream whatever the block size. Every size field comes
// from outside: the output grows only as inflated data actually arrives, and an entry that
// inflates to more or fewer bytes than its size field says is refused.
#include "skin/skin_package.h"

#include "skin/skin_error.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace kalvo {

const char* const NotASkinPackageWarning =
    "The loaded data is not a packed skin file, so the skin cannot be read from it.";

namespace {

constexpr char Signature[4] = {'A', 'S', 'z', 'f'};
constexpr std::size_t ReadAheadSize = 16 * 1024;
constexpr std::size_t OutputBlockSize = 64 * 1024;
// Entry names are plain file names; anything longer is damage, not a name.
constexpr std::int32_t MaxNameLength = 4096;
const char* const OptionsEntryName = "OPTIONS.DAT";

// Reads until `count` bytes arrived or the source ends; returns how many arrived.
std::size_t ReadFully(TSkinStream& source, void* buffer, std::size_t count) {
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const std::size_t got = source.Read(bytes + done, count - done);
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

std::int32_t ReadInt32(TSkinStream& source, const std::string& what) {
    std::uint8_t raw[4];
    if (ReadFully(source, raw, 4) != 4)
        throw ESkinPackageError("The skin package ends early: " + what + " is missing.");
    const std::uint32_t value = std::uint32_t(raw[0]) | std::uint32_t(raw[1]) << 8 |
                                std::uint32_t(raw[2]) << 16 | std::uint32_t(raw[3]) << 24;
    return std::int32_t(value);
}

std::string EntryLabel(int index, const std::string& name) {
    return "entry " + std::to_string(index + 1) + " (\"" + name + "\")";
}

class TInflater {
public:
    TInflater() {
        if (inflateInit(&stream_) != Z_OK)
            throw ESkinPackageError("The inflater for a skin package entry could not start.");
    }
    ~TInflater() { inflateEnd(&stream_); }
    TInflater(const TInflater&) = delete;
    TInflater& operator=(const TInflater&) = delete;
    z_stream& operator*() { return stream_; }
    z_stream* operator->() { return &stream_; }

private:
    z_stream stream_{};
};

// Inflates the zlib stream at the source's position, which must give exactly `size` bytes,
// and leaves the source right behind the stream.
std::vector<std::uint8_t> InflateEntry(TSkinStream& source, std::int32_t size,
                                       const std::string& label) {
    const std::size_t expected = std::size_t(size);
    std::vector<std::uint8_t> output;
    output.reserve(std::min<std::size_t>(expected, 256 * 1024));
    std::vector<std::uint8_t> input(ReadAheadSize);
    std::vector<std::uint8_t> block(OutputBlockSize);

    TInflater inflater;
    for (;;) {
        if (inflater->avail_in == 0) {
            const std::size_t got = source.Read(input.data(), input.size());
            if (got == 0)
                throw ESkinPackageError("The skin package ends early: the compressed data of " +
                                        label + " is cut short.");
            inflater->next_in = input.data();
            inflater->avail_in = uInt(got);
        }
        inflater->next_out = block.data();
        inflater->avail_out = uInt(block.size());
        const int status = inflate(&*inflater, Z_NO_FLUSH);
        const std::size_t produced = block.size() - inflater->avail_out;
        if (produced > expected - output.size())
            throw ESkinPackageError("The skin package is damaged: " + label +
                                    " inflates to more than its " + std::to_string(size) +
                                    " bytes.");
        output.insert(output.end(), block.begin(), block.begin() + std::ptrdiff_t(produced));
        if (status == Z_STREAM_END)
            break;
        if (status == Z_OK || (status == Z_BUF_ERROR && inflater->avail_in == 0))
            continue;
        std::string reason = status == Z_NEED_DICT ? "it needs a preset dictionary"
                             : status == Z_MEM_ERROR ? "out of memory"
                             : inflater->msg        ? inflater->msg
                                                    : "zlib error " + std::to_string(status);
        throw ESkinPackageError("The skin package is damaged: the compressed data of " + label +
                                " cannot be inflated (" + reason + ").");
    }
    if (inflater->avail_in != 0)
        source.Seek(source.Position() - std::int64_t(inflater->avail_in));
    if (output.size() != expected)
        throw ESkinPackageError("The skin package is damaged: " + label + " inflates to " +
                                std::to_string(output.size()) + " bytes instead of " +
                                std::to_string(size) + ".");
    return output;
}

// The extension of a file name with its dot: what follows the last "." of the last part.
std::string FileExtension(const std::string& name) {
    const std::size_t dot = name.find_last_of(".\\/:");
    if (dot == std::string::npos || name[dot] != '.')
        return {};
    return name.substr(dot);
}

void ClearEntries(TacSkinConvertor& convertor) {
    convertor.ImageEntries.clear();
    convertor.OptionsData.reset();
    convertor.ImageEntryCount = 0;
}

void PutInt32(std::vector<std::uint8_t>& out, std::int32_t value) {
    const std::uint32_t raw = std::uint32_t(value);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(std::uint8_t(raw >> shift));
}

void ReadEntries(TacSkinConvertor& convertor, TSkinStream& source,
                 const TSkinPackageEntryObserver& on_entry) {
    const std::int32_t count = ReadInt32(source, "the entry count");
    if (count < 0)
        throw ESkinPackageError("The skin package is damaged: its entry count is " +
                                std::to_string(count) + ".");
    convertor.ImageEntryCount = count - 1;
    for (int index = 0; index < count; ++index) {
        const std::string number = "entry " + std::to_string(index + 1);
        const std::int32_t length = ReadInt32(source, "the name length of " + number);
        if (length < 0 || length > MaxNameLength)
            throw ESkinPackageError("The skin package is damaged: " + number +
                                    " has a name length of " + std::to_string(length) + ".");
        std::string name(std::size_t(length), '\0');
        if (ReadFully(source, name.data(), name.size()) != name.size())
            throw ESkinPackageError("The skin package ends early: the name of " + number +
                                    " is cut short.");
        const std::string label = EntryLabel(index, name);
        const std::int32_t size = ReadInt32(source, "the size of " + label);
        if (size < 0)
            throw ESkinPackageError("The skin package is damaged: " + label + " has a size of " +
                                    std::to_string(size) + ".");
        std::vector<std::uint8_t> data = InflateEntry(source, size, label);
        if (SkinUpperCase(name) == OptionsEntryName) {
            convertor.OptionsData = std::make_unique<TMemoryStream>(std::move(data));
        } else {
            auto item = std::make_unique<TacImageItem>();
            item->Name = name;
            item->IsBitmap = SkinUpperCase(FileExtension(name)) == ".BMP";
            item->Data = TMemoryStream(std::move(data));
            convertor.ImageEntries.push_back(std::move(item));
        }
        if (on_entry)
            on_entry(name, size, source.Position());
    }
}

} // namespace

void TacSkinConvertor::Clear() {
    ClearEntries(*this);
    if (OwnedSource) {
        if (SourceStream == OwnedSource.get())
            SourceStream = nullptr;
        OwnedSource.reset();
    }
}

const TacImageItem* TacSkinConvertor::FindImage(const std::string& name) const {
    if (ImageEntryCount <= 0)
        return nullptr;
    const std::size_t limit = std::min(std::size_t(ImageEntryCount), ImageEntries.size());
    const std::string wanted = SkinUpperCase(name);
    for (std::size_t i = 0; i < limit; ++i)
        if (ImageEntries[i] && SkinUpperCase(ImageEntries[i]->Name) == wanted)
            return ImageEntries[i].get();
    return nullptr;
}

bool ReadPackage(TacSkinConvertor& convertor, const TSkinWarning& warn) {
    return ReadPackage(convertor, warn, {});
}

bool ReadPackage(TacSkinConvertor& convertor, const TSkinWarning& warn,
                 const TSkinPackageEntryObserver& on_entry) {
    ClearEntries(convertor);
    if (!convertor.SourceStream)
        throw ESkinPackageError("There is no skin package to read.");
    TSkinStream& source = *convertor.SourceStream;
    source.Seek(0);
    char signature[4] = {};
    if (ReadFully(source, signature, 4) != 4 ||
        std::memcmp(signature, Signature, sizeof Signature) != 0) {
        convertor.Clear();
        if (warn)
            warn(NotASkinPackageWarning);
        return false;
    }
    try {
        ReadEntries(convertor, source, on_entry);
    } catch (...) {
        // A damaged package yields nothing, not the entries before the damage.
        ClearEntries(convertor);
        throw;
    }
    return true;
}

bool LoadPackageFile(const ISkinFiles& files, const std::string& file,
                     std::unique_ptr<TacSkinConvertor>& convertor, bool free_source,
                     const TSkinWarning& warn) {
    if (!files.FileExists(file))
        return false;
    if (convertor)
        convertor->Clear();
    else
        convertor = std::make_unique<TacSkinConvertor>();
    std::vector<std::uint8_t> bytes;
    try {
        bytes = files.ReadFile(file);
    } catch (const ESkinPackageError&) {
        throw;
    } catch (const std::runtime_error& error) {
        throw ESkinPackageError(error.what());
    }
    convertor->OwnedSource = std::make_unique<TMemoryStream>(std::move(bytes));
    convertor->SourceStream = convertor->OwnedSource.get();
    struct TFreeSource {
        TacSkinConvertor& convertor;
        bool active;
        ~TFreeSource() {
            if (active && convertor.OwnedSource) {
                if (convertor.SourceStream == convertor.OwnedSource.get())
                    convertor.SourceStream = nullptr;
                convertor.OwnedSource.reset();
            }
        }
    } free_afterwards{*convertor, free_source};
    return ReadPackage(*convertor, warn);
}

std::vector<std::uint8_t> WritePackage(
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& entries) {
    constexpr std::size_t Int32Max = std::size_t(std::numeric_limits<std::int32_t>::max());
    if (entries.size() > Int32Max)
        throw std::length_error("A skin package holds at most 2147483647 entries.");
    std::vector<std::uint8_t> out(std::begin(Signature), std::end(Signature));
    PutInt32(out, std::int32_t(entries.size()));
    for (const auto& [name, data] : entries) {
        if (name.size() > std::size_t(MaxNameLength))
            throw std::length_error("The entry name \"" + name.substr(0, 40) +
                                    "...\" is too long for a skin package.");
        if (data.size() > Int32Max)
            throw std::length_error("The entry \"" + name + "\" is too large for a skin package.");
        PutInt32(out, std::int32_t(name.size()));
        out.insert(out.end(), name.begin(), name.end());
        PutInt32(out, std::int32_t(data.size()));
        uLongf packed_size = compressBound(uLong(data.size()));
        std::vector<std::uint8_t> packed(packed_size);
        const int status = compress2(packed.data(), &packed_size, data.data(), uLong(data.size()),
                                     Z_DEFAULT_COMPRESSION);
        if (status != Z_OK)
            throw std::runtime_error("The entry \"" + name + "\" could not be compressed (zlib " +
                                     std::to_string(status) + ").");
        out.insert(out.end(), packed.begin(), packed.begin() + std::ptrdiff_t(packed_size));
    }
    return out;
}

} // namespace kalvo
