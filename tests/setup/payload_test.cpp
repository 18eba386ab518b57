#include "setup/payload.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <zlib.h>

namespace kalvo {
namespace {

using TBytes = std::vector<std::uint8_t>;

// A setup file in memory that hands out its bytes in pieces of at most `piece` bytes, as a
// file may.
class TMemorySource : public TByteSource {
public:
    explicit TMemorySource(TBytes bytes, std::size_t piece = SIZE_MAX)
        : bytes_(std::move(bytes)), piece_(piece) {}
    std::size_t Read(std::uint8_t* buffer, std::size_t size) override {
        const std::size_t count = std::min({size, piece_, bytes_.size() - position_});
        std::copy_n(bytes_.begin() + std::ptrdiff_t(position_), count, buffer);
        position_ += count;
        return count;
    }
    std::size_t Position() const { return position_; }

private:
    TBytes bytes_;
    std::size_t piece_;
    std::size_t position_ = 0;
};

class TMemorySink : public TByteSink {
public:
    void Write(const std::uint8_t* data, std::size_t size) override {
        bytes.insert(bytes.end(), data, data + size);
    }
    TBytes bytes;
};

// Bytes that compress somewhat, like a program.
TBytes Content(std::size_t size, unsigned seed) {
    TBytes bytes(size);
    std::uint32_t state = seed * 2654435761u + 1;
    for (std::size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        bytes[i] = (i % 7 < 4) ? std::uint8_t(i / 64) : std::uint8_t(state >> 24);
    }
    return bytes;
}

TBytes Compress(const TBytes& data) {
    uLongf size = compressBound(uLong(data.size()));
    TBytes out(size);
    EXPECT_EQ(compress2(out.data(), &size, data.data(), uLong(data.size()), 9), Z_OK);
    out.resize(size);
    return out;
}

void AppendChunk(TBytes& file, const TBytes& stream, std::int32_t length) {
    const auto value = std::uint32_t(length);
    for (int shift = 0; shift < 32; shift += 8)
        file.push_back(std::uint8_t(value >> shift));
    file.insert(file.end(), stream.begin(), stream.end());
}

void AppendChunk(TBytes& file, const TBytes& stream) {
    AppendChunk(file, stream, std::int32_t(stream.size()));
}

TEST(PayloadTest, UnpacksSixChunksAndEndsExactlyAtTheEndOfTheFile) {
    const std::vector<TBytes> files = {Content(700 * 1024 + 3, 1), Content(4096, 2),
                                       Content(1, 3),           Content(1023, 4),
                                       Content(1025, 5),        Content(300 * 1024, 6)};
    TBytes setup = Content(5000, 9); // stands in for the program image
    const std::size_t image = setup.size();
    for (const TBytes& file : files)
        AppendChunk(setup, Compress(file));
    for (const std::size_t piece : {std::size_t(SIZE_MAX), std::size_t(1), std::size_t(777)}) {
        TMemorySource source(setup, piece);
        TMemorySink image_copy;
        CopyBytes(source, image_copy, image);
        EXPECT_EQ(image_copy.bytes, TBytes(setup.begin(), setup.begin() + std::ptrdiff_t(image)));
        for (std::size_t i = 0; i < files.size(); ++i) {
            TMemorySink target;
            EXPECT_EQ(UnpackChunk(source, target), files[i].size()) << i;
            EXPECT_TRUE(target.bytes == files[i]) << "chunk " << i << ", pieces of " << piece;
        }
        EXPECT_EQ(source.Position(), setup.size());
    }
}

// Lengths of 0 or less: no data bytes, an empty file, and the next chunk right after the
// prefix. At the end of the file (a setup without payload) every length reads as 0.
TEST(PayloadTest, ChunksWithoutDataGiveEmptyFiles) {
    const TBytes data = Content(2048, 7); // an exact multiple of 1024
    TBytes setup;
    AppendChunk(setup, {}, 0);
    AppendChunk(setup, {}, -1);
    AppendChunk(setup, {}, INT32_MIN);
    AppendChunk(setup, Compress(data));
    TMemorySource source(setup);
    for (int i = 0; i < 3; ++i) {
        TMemorySink empty;
        EXPECT_EQ(UnpackChunk(source, empty), 0u) << i;
        EXPECT_TRUE(empty.bytes.empty()) << i;
        EXPECT_EQ(source.Position(), std::size_t(4 * (i + 1))) << i;
    }
    TMemorySink full;
    UnpackChunk(source, full);
    EXPECT_TRUE(full.bytes == data);
    for (int i = 0; i < 2; ++i) {
        TMemorySink nothing;
        EXPECT_EQ(UnpackChunk(source, nothing), 0u);
        EXPECT_EQ(source.Position(), setup.size());
    }
}

// Bytes a chunk's length counts after the end of its stream are passed over.
TEST(PayloadTest, BytesAfterTheStreamBelongToTheChunk) {
    const TBytes first = Content(3000, 11), second = Content(10, 12);
    TBytes stream = Compress(first);
    stream.insert(stream.end(), {1, 2, 3, 4, 5});
    TBytes setup;
    AppendChunk(setup, stream);
    AppendChunk(setup, Compress(second));
    TMemorySource source(setup);
    TMemorySink a, b;
    UnpackChunk(source, a);
    UnpackChunk(source, b);
    EXPECT_TRUE(a.bytes == first);
    EXPECT_TRUE(b.bytes == second);
}

TEST(PayloadTest, DamagedChunksEndWithAnError) {
    const TBytes data = Content(50000, 13);
    const TBytes stream = Compress(data);
    struct Case {
        const char* what;
        TBytes setup;
    };
    std::vector<Case> cases;
    {
        TBytes setup;
        AppendChunk(setup, stream);
        setup.resize(setup.size() - stream.size() / 2); // the file ends inside the chunk
        cases.push_back({"cut file", setup});
    }
    {
        TBytes setup;
        AppendChunk(setup, TBytes(stream.begin(), stream.end() - 40)); // the length says less
        cases.push_back({"cut stream", setup});
    }
    {
        TBytes setup;
        AppendChunk(setup, stream, std::int32_t(stream.size() + 100)); // the length says more
        cases.push_back({"length past the end", setup});
    }
    for (std::size_t at : {std::size_t(2), stream.size() / 2, stream.size() - 2}) {
        TBytes flipped = stream;
        flipped[at] ^= 0x10;
        TBytes setup;
        AppendChunk(setup, flipped);
        cases.push_back({"flipped bit", setup});
    }
    for (const Case& c : cases) {
        TMemorySource source(c.setup);
        TMemorySink target;
        EXPECT_THROW(UnpackChunk(source, target), EPayloadCorrupt) << c.what;
        EXPECT_LE(target.bytes.size(), data.size()) << c.what;
    }
}

// The start-up check: six chunks that inflate whole (empty ones included, and whatever
// follows the sixth), nothing at all behind the image, or anything else.
TEST(PayloadTest, TheCheckTellsAWholePayloadFromAMissingOrDamagedOne) {
    TBytes whole;
    for (unsigned i = 0; i < 6; ++i)
        AppendChunk(whole, Compress(Content(i == 2 ? 0 : 3000 * i + 5, i)));
    TBytes empty_chunks(24, 0);
    TBytes trailing = whole;
    trailing.insert(trailing.end(), 1000, 0);
    TBytes flipped = whole;
    flipped[whole.size() / 2] ^= 0x20;
    TBytes five;
    for (unsigned i = 0; i < 5; ++i)
        AppendChunk(five, Compress(Content(100, i)));
    TBytes short_prefix = five;
    short_prefix.insert(short_prefix.end(), {7, 0});
    struct Case {
        const char* what;
        TBytes payload;
        TPayloadState state;
    };
    const Case cases[] = {
        {"six chunks", whole, psWhole},
        {"six empty chunks", empty_chunks, psWhole},
        {"bytes after the sixth chunk", trailing, psWhole},
        {"nothing behind the image", {}, psNone},
        {"a flipped bit", flipped, psDamaged},
        {"the last chunk cut short", TBytes(whole.begin(), whole.end() - 1), psDamaged},
        {"five chunks", five, psDamaged},
        {"a sixth prefix of two bytes", short_prefix, psDamaged},
        {"a first prefix of three bytes", {1, 0, 0}, psDamaged},
    };
    for (const Case& c : cases) {
        for (const std::size_t piece : {std::size_t(SIZE_MAX), std::size_t(3)}) {
            TMemorySource source(c.payload, piece);
            EXPECT_EQ(CheckPayload(source), c.state) << c.what << ", pieces of " << piece;
        }
    }
}

TEST(PayloadTest, CopyingTheImageNeedsAllOfIt) {
    TMemorySource source(Content(100, 1));
    TMemorySink target;
    EXPECT_THROW(CopyBytes(source, target, 101), EPayloadCorrupt);
}

} // namespace
} // namespace kalvo
