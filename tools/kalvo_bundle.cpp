// kalvo_bundle: makes setup files and looks into them.
//
//   kalvo_bundle make STUB FILE0 FILE1 FILE2 FILE3 FILE4 FILE5 OUTPUT
//       The setup program's image STUB followed by the six files as chunks: each a 32-bit
//       little-endian length and a zlib stream at the highest level. Same inputs, same bytes.
//       Refuses to make a file below the full-setup size, which would start as the
//       uninstaller copy.
//   kalvo_bundle list SETUP [STUB_SIZE]
//       The image size and, for each chunk from STUB_SIZE (the compiled-in offset unless
//       given), its target file, compressed and unpacked sizes; then whether the payload ends
//       exactly at the end of the file. Exits 1 when a chunk is damaged or bytes are left.
#include "setup/payload.h"
#include "setup/setup_state.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <zlib.h>

namespace {

using namespace kalvo;

const char* const ChunkTargets[6] = {"kalvo.exe", "help.chm",        "kalvo.lcf",
                                     "kalvo.uri", "media\\media1.avi", "kalvo.dll"};

struct TFile {
    explicit TFile(const std::string& path, const char* mode) : handle(std::fopen(path.c_str(), mode)) {
        if (!handle)
            throw std::runtime_error("cannot open " + path + ": " + std::strerror(errno));
    }
    ~TFile() {
        if (handle)
            std::fclose(handle);
    }
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;
    std::FILE* handle;
};

class TFileSource : public TByteSource {
public:
    explicit TFileSource(std::FILE* file) : file_(file) {}
    std::size_t Read(std::uint8_t* buffer, std::size_t size) override {
        const std::size_t got = std::fread(buffer, 1, size, file_);
        if (got < size && std::ferror(file_))
            throw std::runtime_error("cannot read the setup file");
        position_ += got;
        return got;
    }
    std::uint64_t Position() const { return position_; }
    void Skip(std::uint64_t count) {
        std::uint8_t buffer[65536];
        while (count > 0) {
            const std::size_t got = Read(buffer, std::size_t(std::min<std::uint64_t>(count, sizeof buffer)));
            if (got == 0)
                throw std::runtime_error("the file is shorter than its image");
            count -= got;
        }
    }

private:
    std::FILE* file_;
    std::uint64_t position_ = 0;
};

class TCountingSink : public TByteSink {
public:
    void Write(const std::uint8_t*, std::size_t size) override { written += size; }
    std::uint64_t written = 0;
};

void WriteAll(std::FILE* file, const void* data, std::size_t size) {
    if (std::fwrite(data, 1, size, file) != size)
        throw std::runtime_error("cannot write the setup file");
}

// Appends a file as one chunk: its length prefix, then the stream, compressed as it is read.
void AppendChunk(std::FILE* out, const std::string& path) {
    TFile in(path, "rb");
    const long prefix_at = std::ftell(out);
    const std::uint8_t placeholder[4] = {0, 0, 0, 0};
    WriteAll(out, placeholder, 4);
    z_stream stream{};
    if (deflateInit(&stream, Z_BEST_COMPRESSION) != Z_OK)
        throw std::runtime_error("zlib cannot start");
    const auto input = std::make_unique<std::uint8_t[]>(1 << 16);
    const auto output = std::make_unique<std::uint8_t[]>(1 << 16);
    std::uint64_t compressed = 0;
    int flush = Z_NO_FLUSH;
    do {
        stream.avail_in = uInt(std::fread(input.get(), 1, 1 << 16, in.handle));
        if (std::ferror(in.handle))
            throw std::runtime_error("cannot read " + path);
        stream.next_in = input.get();
        flush = std::feof(in.handle) ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.next_out = output.get();
            stream.avail_out = 1 << 16;
            deflate(&stream, flush);
            const std::size_t produced = (1 << 16) - stream.avail_out;
            WriteAll(out, output.get(), produced);
            compressed += produced;
        } while (stream.avail_out == 0);
    } while (flush != Z_FINISH);
    deflateEnd(&stream);
    if (compressed > 0x7FFFFFFF)
        throw std::runtime_error(path + " does not fit in a chunk");
    const std::uint8_t length[4] = {std::uint8_t(compressed), std::uint8_t(compressed >> 8),
                                    std::uint8_t(compressed >> 16), std::uint8_t(compressed >> 24)};
    std::fseek(out, prefix_at, SEEK_SET);
    WriteAll(out, length, 4);
    std::fseek(out, 0, SEEK_END);
}

int Make(char** argv) {
    const std::string output = argv[7];
    {
        TFile out(output, "wb");
        TFile stub(argv[0], "rb");
        char buffer[65536];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, stub.handle)) > 0)
            WriteAll(out.handle, buffer, got);
        for (int i = 1; i <= 6; ++i)
            AppendChunk(out.handle, argv[i]);
        if (std::fflush(out.handle) != 0)
            throw std::runtime_error("cannot write " + output);
        // Below this size the setup program takes itself for the uninstaller copy.
        if (std::uint64_t(std::ftell(out.handle)) < kalvo::FullSetupMinSize) {
            const long size = std::ftell(out.handle);
            std::fclose(out.handle);
            out.handle = nullptr;
            std::remove(output.c_str());
            throw std::runtime_error("the setup file would be " + std::to_string(size) +
                                     " bytes, less than " + std::to_string(kalvo::FullSetupMinSize) +
                                     ": it would start as the uninstaller copy");
        }
    }
    return 0;
}

int List(const std::string& path, std::uint64_t stub_size) {
    TFile file(path, "rb");
    std::fseek(file.handle, 0, SEEK_END);
    const std::uint64_t size = std::uint64_t(std::ftell(file.handle));
    std::fseek(file.handle, 0, SEEK_SET);
    TFileSource source(file.handle);
    std::printf("%s: %llu bytes\nimage: %llu bytes\n", path.c_str(), (unsigned long long)size,
                (unsigned long long)stub_size);
    source.Skip(stub_size);
    if (size == stub_size) {
        std::printf("no payload: an uninstaller copy\n");
        return 0;
    }
    for (int i = 0; i < 6; ++i) {
        const std::uint64_t start = source.Position();
        TCountingSink sink;
        try {
            UnpackChunk(source, sink);
        } catch (const EPayloadCorrupt& error) {
            std::printf("chunk %d %s at %llu: damaged (%s)\n", i, ChunkTargets[i],
                        (unsigned long long)start, error.what());
            return 1;
        }
        const std::uint64_t read = source.Position() - start;
        std::printf("chunk %d %s: %llu bytes compressed, %llu bytes\n", i, ChunkTargets[i],
                    (unsigned long long)(read > 4 ? read - 4 : 0), (unsigned long long)sink.written);
    }
    if (source.Position() != size) {
        std::printf("%llu bytes after the last chunk\n",
                    (unsigned long long)(size - source.Position()));
        return 1;
    }
    std::printf("the payload ends at the end of the file\n");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 10 && std::strcmp(argv[1], "make") == 0)
            return Make(argv + 2);
        if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "list") == 0)
            return List(argv[2], argc == 4 ? std::stoull(argv[3]) : kalvo::SetupStubSize);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kalvo_bundle: %s\n", error.what());
        return 1;
    }
    std::fputs("usage: kalvo_bundle make STUB FILE0 FILE1 FILE2 FILE3 FILE4 FILE5 OUTPUT\n"
               "       kalvo_bundle list SETUP [STUB_SIZE]\n",
               stderr);
    return 2;
}
