#include "skin/skin_error.h"
#include "skin/skin_files.h"
#include "skin/skin_package.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace kalvo {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Entries = std::vector<std::pair<std::string, Bytes>>;

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes Noise(std::size_t size, std::uint32_t seed) {
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (auto& b : bytes)
        b = std::uint8_t(random());
    return bytes;
}

Bytes Compress(const Bytes& data, int level = Z_DEFAULT_COMPRESSION) {
    uLongf size = compressBound(uLong(data.size()));
    Bytes out(size);
    if (compress2(out.data(), &size, data.data(), uLong(data.size()), level) != Z_OK)
        throw std::runtime_error("compress2 failed");
    out.resize(size);
    return out;
}

void PutInt32(Bytes& out, std::int32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(std::uint8_t(std::uint32_t(value) >> shift));
}

// A package put together field by field, so that tests can damage any field and know where
// every entry's zlib stream ends.
struct TRawPackage {
    Bytes bytes;
    std::vector<std::int64_t> ends;

    explicit TRawPackage(std::int32_t count) {
        bytes = Text("ASzf");
        PutInt32(bytes, count);
    }
    TRawPackage& Entry(const std::string& name, std::int32_t size, const Bytes& stream) {
        PutInt32(bytes, std::int32_t(name.size()));
        bytes.insert(bytes.end(), name.begin(), name.end());
        PutInt32(bytes, size);
        bytes.insert(bytes.end(), stream.begin(), stream.end());
        ends.push_back(std::int64_t(bytes.size()));
        return *this;
    }
    TRawPackage& Entry(const std::string& name, const Bytes& data) {
        return Entry(name, std::int32_t(data.size()), Compress(data));
    }
};

// A source that hands out at most a few bytes per read, to show that the reader does not
// depend on getting whole blocks.
class TTrickleStream : public TSkinStream {
public:
    explicit TTrickleStream(Bytes bytes) : inner_(std::move(bytes)) {}
    std::size_t Read(void* buffer, std::size_t count) override {
        const std::size_t step = 1 + (calls_++ % 7);
        return inner_.Read(buffer, std::min(count, step));
    }
    void Seek(std::int64_t position) override { inner_.Seek(position); }
    std::int64_t Position() const override { return inner_.Position(); }
    std::int64_t Size() const override { return inner_.Size(); }

private:
    TMemoryStream inner_;
    std::size_t calls_ = 0;
};

struct TReadResult {
    bool read = false;
    std::vector<std::string> warnings;
    std::vector<std::string> names;
    std::vector<std::int64_t> sizes;
    std::vector<std::int64_t> ends;
};

TReadResult Read(TacSkinConvertor& convertor, TSkinStream& source) {
    TReadResult result;
    convertor.SourceStream = &source;
    result.read = ReadPackage(
        convertor, [&](const std::string& text) { result.warnings.push_back(text); },
        [&](const std::string& name, std::int64_t size, std::int64_t end) {
            result.names.push_back(name);
            result.sizes.push_back(size);
            result.ends.push_back(end);
        });
    return result;
}

std::vector<std::string> ImageNames(const TacSkinConvertor& convertor) {
    std::vector<std::string> names;
    for (const auto& item : convertor.ImageEntries)
        names.push_back(item->Name);
    return names;
}

TEST(SkinPackage, WritesDefaultLevelStreamsThatReadBack) {
    const Entries entries = {{"Options.dat", Text("[GLOBALINFO]\r\nVERSION=7\r\n")},
                             {"Master.bmp", Noise(3000, 1)},
                             {"GlowClose.PNG", Bytes(5000, 0xAB)},
                             {"Empty.png", {}}};
    const Bytes package = WritePackage(entries);

    // Walk the bytes: signature, count, and each entry's name, size and a 78 9C stream that
    // inflates to the entry's bytes.
    ASSERT_GE(package.size(), 8u);
    EXPECT_EQ(std::string(package.begin(), package.begin() + 4), "ASzf");
    TMemoryStream walk(package);
    walk.Seek(4);
    auto read_int = [&] {
        std::uint8_t raw[4] = {};
        EXPECT_EQ(walk.Read(raw, 4), 4u);
        return std::int32_t(std::uint32_t(raw[0]) | std::uint32_t(raw[1]) << 8 |
                            std::uint32_t(raw[2]) << 16 | std::uint32_t(raw[3]) << 24);
    };
    EXPECT_EQ(read_int(), 4);
    for (const auto& [name, data] : entries) {
        const std::int32_t length = read_int();
        std::string stored(std::size_t(length), '\0');
        walk.Read(stored.data(), stored.size());
        EXPECT_EQ(stored, name);
        EXPECT_EQ(read_int(), std::int32_t(data.size()));
        const std::size_t at = std::size_t(walk.Position());
        EXPECT_EQ(package[at], 0x78) << name;
        EXPECT_EQ(package[at + 1], 0x9C) << name;
        const Bytes stream = Compress(data);
        EXPECT_TRUE(std::equal(stream.begin(), stream.end(), package.begin() + std::ptrdiff_t(at)))
            << name;
        walk.Seek(std::int64_t(at + stream.size()));
    }
    EXPECT_EQ(walk.Position(), std::int64_t(package.size()));

    TMemoryStream source(package);
    TacSkinConvertor convertor;
    const TReadResult result = Read(convertor, source);
    EXPECT_TRUE(result.read);
    EXPECT_TRUE(result.warnings.empty());
    ASSERT_TRUE(convertor.OptionsData);
    EXPECT_EQ(convertor.OptionsData->Bytes(), entries[0].second);
    EXPECT_EQ(convertor.OptionsData->Position(), 0);
    EXPECT_EQ(convertor.ImageEntryCount, 3);
    ASSERT_EQ(convertor.ImageEntries.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(convertor.ImageEntries[i]->Name, entries[i + 1].first);
        EXPECT_EQ(convertor.ImageEntries[i]->Data.Bytes(), entries[i + 1].second);
    }
    EXPECT_EQ(convertor.FindImage("glowclose.png"), convertor.ImageEntries[1].get());
    EXPECT_EQ(convertor.FindImage("MASTER.BMP"), convertor.ImageEntries[0].get());
    EXPECT_EQ(convertor.FindImage("Options.dat"), nullptr);
    EXPECT_EQ(convertor.FindImage("Corner.bmp"), nullptr);
}

TEST(SkinPackage, FindsTheOptionsEntryAtAnyPositionInAnyCase) {
    const Bytes options = Text("[FORM]\r\nTRANSPARENCY=10\r\n");
    const Entries pictures = {{"Master.bmp", Noise(900, 2)},
                              {"Glow.png", Noise(300, 3)},
                              {"Corner.bmp", Bytes(700, 5)}};
    for (const std::string name : {"Options.dat", "OPTIONS.DAT", "options.dat", "oPtIoNs.DaT"}) {
        for (std::size_t position = 0; position <= pictures.size(); ++position) {
            SCOPED_TRACE(name + " at " + std::to_string(position));
            Entries entries = pictures;
            entries.insert(entries.begin() + std::ptrdiff_t(position), {name, options});
            TMemoryStream source(WritePackage(entries));
            TacSkinConvertor convertor;
            ASSERT_TRUE(Read(convertor, source).read);
            ASSERT_TRUE(convertor.OptionsData);
            EXPECT_EQ(convertor.OptionsData->Bytes(), options);
            EXPECT_EQ(ImageNames(convertor),
                      (std::vector<std::string>{"Master.bmp", "Glow.png", "Corner.bmp"}));
            EXPECT_EQ(convertor.ImageEntryCount, 3);
            for (const auto& [picture, data] : pictures) {
                const TacImageItem* found = convertor.FindImage(picture);
                ASSERT_NE(found, nullptr) << picture;
                EXPECT_EQ(found->Data.Bytes(), data);
            }
        }
    }
}

TEST(SkinPackage, WithoutOptionsOnlyTheFirstNMinusOnePicturesAreFound) {
    TMemoryStream source(WritePackage(
        {{"A.bmp", Text("a")}, {"B.png", Text("bb")}, {"C.png", Text("ccc")}}));
    TacSkinConvertor convertor;
    ASSERT_TRUE(Read(convertor, source).read);
    EXPECT_FALSE(convertor.OptionsData);
    EXPECT_EQ(ImageNames(convertor), (std::vector<std::string>{"A.bmp", "B.png", "C.png"}));
    EXPECT_EQ(convertor.ImageEntryCount, 2);
    EXPECT_NE(convertor.FindImage("a.bmp"), nullptr);
    EXPECT_NE(convertor.FindImage("b.PNG"), nullptr);
    EXPECT_EQ(convertor.FindImage("C.png"), nullptr);
}

TEST(SkinPackage, ASecondOptionsEntryReplacesTheFirst) {
    TMemoryStream source(WritePackage({{"Options.dat", Text("first")},
                                       {"Master.bmp", Text("m")},
                                       {"OPTIONS.DAT", Text("second")}}));
    TacSkinConvertor convertor;
    ASSERT_TRUE(Read(convertor, source).read);
    ASSERT_TRUE(convertor.OptionsData);
    EXPECT_EQ(convertor.OptionsData->Bytes(), Text("second"));
    // N - 1 is 2 here while only one picture exists: the lookup stays inside the entries.
    EXPECT_EQ(convertor.ImageEntryCount, 2);
    EXPECT_EQ(ImageNames(convertor), std::vector<std::string>{"Master.bmp"});
    EXPECT_NE(convertor.FindImage("master.bmp"), nullptr);
    EXPECT_EQ(convertor.FindImage("other.bmp"), nullptr);
}

TEST(SkinPackage, FindImageStaysInsideTheEntriesForAnyCount) {
    TMemoryStream source(WritePackage({{"A.bmp", Text("a")}, {"B.bmp", Text("b")}}));
    TacSkinConvertor convertor;
    ASSERT_TRUE(Read(convertor, source).read);
    struct TCase {
        int count;
        bool finds_a;
        bool finds_b;
    };
    for (const TCase c : {TCase{INT_MIN, false, false}, TCase{-1, false, false},
                          TCase{0, false, false}, TCase{1, true, false}, TCase{2, true, true},
                          TCase{3, true, true}, TCase{INT_MAX, true, true}}) {
        SCOPED_TRACE(c.count);
        convertor.ImageEntryCount = c.count;
        EXPECT_EQ(convertor.FindImage("A.BMP") != nullptr, c.finds_a);
        EXPECT_EQ(convertor.FindImage("b.bmp") != nullptr, c.finds_b);
        EXPECT_EQ(convertor.FindImage("C.bmp"), nullptr);
    }
}

TEST(SkinPackage, MarksBitmapsByTheirExtension) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"Master.bmp", true}, {"CORNER.BMP", true}, {"a.Bmp", true},   {"x.png.bmp", true},
        {".bmp", true},       {"Glow.png", false},  {"bmp", false},    {"x.bmp.png", false},
        {"Master.bmpx", false}, {"Master_bmp", false}};
    Entries entries;
    for (const auto& [name, bitmap] : cases)
        entries.push_back({name, Text(name)});
    TMemoryStream source(WritePackage(entries));
    TacSkinConvertor convertor;
    ASSERT_TRUE(Read(convertor, source).read);
    ASSERT_EQ(convertor.ImageEntries.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(convertor.ImageEntries[i]->IsBitmap, cases[i].second) << cases[i].first;
}

// Streams from empty to much larger than any read-ahead block, both incompressible (the
// stream is longer than the data) and highly compressible (far shorter), followed by bytes
// that belong to no entry: each entry must end exactly where its stream ends.
TEST(SkinPackage, LeavesTheSourceExactlyBehindEachEntry) {
    TRawPackage raw(7);
    raw.Entry("Empty.png", {})
        .Entry("Options.dat", Text("[GLOBALINFO]\r\n"))
        .Entry("Noise.bmp", Noise(300000, 4))
        .Entry("Zeros.bmp", Bytes(3000000, 0))
        .Entry("Small.png", Noise(37, 5))
        .Entry("Stored.png", 70000, Compress(Noise(70000, 6), Z_NO_COMPRESSION))
        .Entry("Last.png", Noise(16385, 7));
    const std::int64_t package_end = raw.ends.back();
    Bytes bytes = raw.bytes;
    const Bytes trailer = Text("TRAILING BYTES THAT ARE NOT AN ENTRY");
    bytes.insert(bytes.end(), trailer.begin(), trailer.end());

    TMemoryStream whole(bytes);
    TTrickleStream trickle(bytes);
    for (TSkinStream* source : {static_cast<TSkinStream*>(&whole), static_cast<TSkinStream*>(&trickle)}) {
        SCOPED_TRACE(source == &whole ? "memory stream" : "trickling stream");
        TacSkinConvertor convertor;
        const TReadResult result = Read(convertor, *source);
        ASSERT_TRUE(result.read);
        EXPECT_EQ(result.ends, raw.ends);
        EXPECT_EQ(source->Position(), package_end);
        EXPECT_EQ(result.sizes, (std::vector<std::int64_t>{0, 14, 300000, 3000000, 37, 70000,
                                                             16385}));
        ASSERT_EQ(convertor.ImageEntries.size(), 6u);
        EXPECT_EQ(convertor.ImageEntries[1]->Data.Bytes(), Noise(300000, 4));
        EXPECT_EQ(convertor.ImageEntries[2]->Data.Bytes(), Bytes(3000000, 0));
        EXPECT_EQ(convertor.ImageEntries[4]->Data.Bytes(), Noise(70000, 6));
        EXPECT_EQ(convertor.ImageEntries[5]->Data.Bytes(), Noise(16385, 7));
    }
}

TEST(SkinPackage, ReadsFromPositionZeroAgainAndReplacesWhatItHeld) {
    TMemoryStream first(WritePackage({{"Options.dat", Text("1")}, {"A.bmp", Text("a")}}));
    TMemoryStream second(WritePackage({{"B.png", Text("b")}}));
    TacSkinConvertor convertor;
    ASSERT_TRUE(Read(convertor, first).read);
    first.Seek(5);
    ASSERT_TRUE(Read(convertor, first).read);
    EXPECT_EQ(ImageNames(convertor), std::vector<std::string>{"A.bmp"});
    ASSERT_TRUE(Read(convertor, second).read);
    EXPECT_FALSE(convertor.OptionsData);
    EXPECT_EQ(ImageNames(convertor), std::vector<std::string>{"B.png"});
    EXPECT_EQ(convertor.ImageEntryCount, 0);
}

TEST(SkinPackage, AnEmptyPackageHoldsNothing) {
    TRawPackage raw(0);
    TMemoryStream source(raw.bytes);
    TacSkinConvertor convertor;
    const TReadResult result = Read(convertor, source);
    EXPECT_TRUE(result.read);
    EXPECT_TRUE(result.warnings.empty());
    EXPECT_EQ(convertor.ImageEntryCount, -1);
    EXPECT_TRUE(convertor.ImageEntries.empty());
    EXPECT_FALSE(convertor.OptionsData);
    EXPECT_EQ(convertor.FindImage(""), nullptr);
}

TEST(SkinPackage, DataWithoutTheSignatureIsWarnedAboutAndDiscarded) {
    Bytes lower = WritePackage({{"Options.dat", Text("x")}});
    lower[0] = 'a';
    const std::vector<std::pair<std::string, Bytes>> cases = {
        {"empty", {}},
        {"three bytes", Text("ASz")},
        {"lower-case signature", lower},
        {"a zip file", Text("PK\x03\x04 and more")},
        {"an options text", Text("[GLOBALINFO]\r\nVERSION=1\r\n")}};
    for (const auto& [label, bytes] : cases) {
        SCOPED_TRACE(label);
        TacSkinConvertor convertor;
        TMemoryStream good(WritePackage({{"Options.dat", Text("o")}, {"A.bmp", Text("a")}}));
        ASSERT_TRUE(Read(convertor, good).read);

        convertor.OwnedSource = std::make_unique<TMemoryStream>(bytes);
        convertor.SourceStream = convertor.OwnedSource.get();
        std::vector<std::string> warnings;
        EXPECT_FALSE(ReadPackage(convertor,
                                 [&](const std::string& text) { warnings.push_back(text); }));
        EXPECT_EQ(warnings, std::vector<std::string>{NotASkinPackageWarning});
        EXPECT_TRUE(convertor.ImageEntries.empty());
        EXPECT_FALSE(convertor.OptionsData);
        EXPECT_EQ(convertor.ImageEntryCount, 0);
        EXPECT_FALSE(convertor.OwnedSource);
        EXPECT_EQ(convertor.SourceStream, nullptr);
    }
    // Without anybody to tell, the data is still refused.
    TMemoryStream source(Text("NOPE"));
    TacSkinConvertor convertor;
    convertor.SourceStream = &source;
    EXPECT_FALSE(ReadPackage(convertor, {}));
}

TEST(SkinPackage, EveryTruncationIsAnError) {
    const Bytes package =
        WritePackage({{"Options.dat", Text("[FORM]\r\nCOLOR=0\r\n")}, {"A.bmp", Noise(64, 8)}});
    for (std::size_t length = 4; length < package.size(); ++length) {
        SCOPED_TRACE(length);
        TMemoryStream source(Bytes(package.begin(), package.begin() + std::ptrdiff_t(length)));
        TacSkinConvertor convertor;
        EXPECT_THROW(Read(convertor, source), ESkinPackageError);
        EXPECT_TRUE(convertor.ImageEntries.empty());
        EXPECT_FALSE(convertor.OptionsData);
    }
}

TEST(SkinPackage, DamagedPackagesAreErrorsThatKeepNothing) {
    const Bytes data = Text("[GLOBALINFO]\r\nVERSION=7\r\nAUTHOR=nobody\r\n");
    const Bytes stream = Compress(data);
    const std::int32_t size = std::int32_t(data.size());
    auto with_byte = [](Bytes bytes, std::size_t at, std::uint8_t value) {
        bytes[at] = value;
        return bytes;
    };
    auto good_first = [&] { return TRawPackage(2).Entry("A.bmp", Text("picture")); };

    struct TCase {
        std::string label;
        Bytes bytes;
    };
    std::vector<TCase> cases;
    cases.push_back({"negative count", TRawPackage(-1).Entry("Options.dat", data).bytes});
    cases.push_back({"count larger than the entries", TRawPackage(INT_MAX).Entry("A.bmp", data).bytes});
    cases.push_back({"negative name length", [&] {
                         TRawPackage raw = good_first();
                         PutInt32(raw.bytes, -5);
                         return raw.bytes;
                     }()});
    cases.push_back({"absurd name length", [&] {
                         TRawPackage raw = good_first();
                         PutInt32(raw.bytes, 1000000000);
                         raw.bytes.resize(raw.bytes.size() + 64, 'n');
                         return raw.bytes;
                     }()});
    cases.push_back({"negative size", good_first().Entry("Options.dat", -1, stream).bytes});
    cases.push_back({"size one short", good_first().Entry("Options.dat", size - 1, stream).bytes});
    cases.push_back({"size one over", good_first().Entry("Options.dat", size + 1, stream).bytes});
    cases.push_back({"huge size, small stream", good_first().Entry("Options.dat", INT_MAX, stream).bytes});
    cases.push_back({"zero size, data in the stream", good_first().Entry("Options.dat", 0, stream).bytes});
    cases.push_back({"bad zlib header", good_first().Entry("Options.dat", size, with_byte(stream, 1, 0x9D)).bytes});
    cases.push_back({"bad checksum", good_first().Entry("Options.dat", size,
                                                        with_byte(stream, stream.size() - 1,
                                                                  stream.back() ^ 0x01)).bytes});
    cases.push_back({"damaged deflate data", good_first().Entry("Options.dat", size,
                                                                with_byte(stream, 2, 0xFF)).bytes});
    cases.push_back({"stream needing a dictionary",
                     good_first().Entry("Options.dat", size,
                                        Bytes{0x78, 0xBB, 0, 0, 0, 1, 0x03, 0x00}).bytes});
    cases.push_back({"raw deflate without zlib header",
                     good_first().Entry("Options.dat", size,
                                        Bytes(stream.begin() + 2, stream.end() - 4)).bytes});
    // A small stream that inflates to 10 MB while its size field says 100 bytes.
    cases.push_back({"bomb", good_first().Entry("Bomb.bmp", 100, Compress(Bytes(10000000, 0))).bytes});

    for (const TCase& c : cases) {
        SCOPED_TRACE(c.label);
        TMemoryStream source(c.bytes);
        TacSkinConvertor convertor;
        try {
            Read(convertor, source);
            ADD_FAILURE() << "no error";
        } catch (const ESkinPackageError& error) {
            EXPECT_GT(std::string(error.what()).size(), 20u);
        }
        EXPECT_TRUE(convertor.ImageEntries.empty());
        EXPECT_FALSE(convertor.OptionsData);
        EXPECT_EQ(convertor.FindImage("A.bmp"), nullptr);
    }
}

TEST(SkinPackage, ClearFreesOnlyAnOwnedSource) {
    TMemoryStream outside(WritePackage({{"A.bmp", Text("a")}, {"B.bmp", Text("b")}}));
    TacSkinConvertor convertor;
    ASSERT_TRUE(Read(convertor, outside).read);
    convertor.Clear();
    EXPECT_TRUE(convertor.ImageEntries.empty());
    EXPECT_EQ(convertor.ImageEntryCount, 0);
    EXPECT_EQ(convertor.SourceStream, &outside);

    convertor.OwnedSource = std::make_unique<TMemoryStream>(outside.Bytes());
    convertor.SourceStream = convertor.OwnedSource.get();
    ASSERT_TRUE(ReadPackage(convertor, {}));
    convertor.Clear();
    EXPECT_FALSE(convertor.OwnedSource);
    EXPECT_EQ(convertor.SourceStream, nullptr);
}

TEST(SkinPackage, ReadingWithoutASourceIsAnError) {
    TacSkinConvertor convertor;
    EXPECT_THROW(ReadPackage(convertor, {}), ESkinPackageError);
}

TEST(SkinMemoryStream, ReadsWritesAndClampsPositions) {
    TMemoryStream stream;
    stream.Write("hello", 5);
    EXPECT_EQ(stream.Size(), 5);
    EXPECT_EQ(stream.Position(), 5);
    stream.Seek(1);
    stream.Write("EL", 2);
    stream.Seek(4);
    stream.Write("O!", 2);
    EXPECT_EQ(stream.Bytes(), Text("hELlO!"));
    char buffer[8] = {};
    stream.Seek(-3);
    EXPECT_EQ(stream.Position(), 0);
    EXPECT_EQ(stream.Read(buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), "hELl");
    EXPECT_EQ(stream.Read(buffer, 8), 2u);
    EXPECT_EQ(stream.Read(buffer, 8), 0u);
    stream.Seek(100);
    EXPECT_EQ(stream.Position(), 6);
    stream.Clear();
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_EQ(stream.Position(), 0);
    EXPECT_EQ(stream.Read(buffer, 1), 0u);
}

// Files in a private folder under the system's temporary folder, named with "\" as the
// skin code writes paths.
class SkinPackageFile : public testing::Test {
protected:
    void SetUp() override {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        folder_ = std::filesystem::temp_directory_path() /
                  ("kalvo_skin_package_" + std::to_string(stamp));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::string PathText(const std::string& name) const {
        std::string text = (folder_ / name).string();
        std::replace(text.begin(), text.end(), '/', '\\');
        return text;
    }
    void Write(const std::string& name, const Bytes& bytes) const {
        std::ofstream out(folder_ / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }

    std::filesystem::path folder_;
    TStdSkinFiles files_;
};

TEST_F(SkinPackageFile, AMissingFileChangesNothing) {
    std::unique_ptr<TacSkinConvertor> none;
    EXPECT_FALSE(LoadPackageFile(files_, PathText("Missing.asz"), none, true, {}));
    EXPECT_FALSE(none);

    auto held = std::make_unique<TacSkinConvertor>();
    TMemoryStream source(WritePackage({{"A.bmp", Text("a")}, {"B.bmp", Text("b")}}));
    ASSERT_TRUE(Read(*held, source).read);
    TacSkinConvertor* before = held.get();
    EXPECT_FALSE(LoadPackageFile(files_, PathText("Missing.asz"), held, true, {}));
    EXPECT_EQ(held.get(), before);
    EXPECT_EQ(ImageNames(*held), (std::vector<std::string>{"A.bmp", "B.bmp"}));
    EXPECT_EQ(held->FindImage("a.bmp"), held->ImageEntries[0].get());
}

TEST_F(SkinPackageFile, LoadsAFileAndFreesTheSourceWhenAsked) {
    const Bytes package = WritePackage({{"Master.bmp", Noise(5000, 9)}, {"Options.dat", Text("o")}});
    Write("Blue.asz", package);

    std::unique_ptr<TacSkinConvertor> convertor;
    ASSERT_TRUE(LoadPackageFile(files_, PathText("Blue.asz"), convertor, true, {}));
    ASSERT_TRUE(convertor);
    EXPECT_EQ(ImageNames(*convertor), std::vector<std::string>{"Master.bmp"});
    EXPECT_EQ(convertor->ImageEntries[0]->Data.Bytes(), Noise(5000, 9));
    ASSERT_TRUE(convertor->OptionsData);
    EXPECT_FALSE(convertor->OwnedSource);
    EXPECT_EQ(convertor->SourceStream, nullptr);

    // Kept: the source is the whole file, read up to the end of the last entry. What the
    // convertor held before is gone.
    TMemoryStream other(WritePackage({{"Old.png", Text("old")}}));
    auto kept = std::make_unique<TacSkinConvertor>();
    ASSERT_TRUE(Read(*kept, other).read);
    ASSERT_TRUE(LoadPackageFile(files_, PathText("Blue.asz"), kept, false, {}));
    ASSERT_TRUE(kept->OwnedSource);
    EXPECT_EQ(kept->SourceStream, kept->OwnedSource.get());
    EXPECT_EQ(static_cast<TMemoryStream*>(kept->OwnedSource.get())->Bytes(), package);
    EXPECT_EQ(kept->SourceStream->Position(), std::int64_t(package.size()));
    EXPECT_EQ(ImageNames(*kept), std::vector<std::string>{"Master.bmp"});
}

TEST_F(SkinPackageFile, RefusedAndDamagedFiles) {
    Write("Text.asz", Text("[GLOBALINFO]\r\n"));
    std::unique_ptr<TacSkinConvertor> convertor;
    std::vector<std::string> warnings;
    EXPECT_FALSE(LoadPackageFile(files_, PathText("Text.asz"), convertor, true,
                                 [&](const std::string& text) { warnings.push_back(text); }));
    ASSERT_TRUE(convertor);
    EXPECT_EQ(warnings, std::vector<std::string>{NotASkinPackageWarning});
    EXPECT_FALSE(convertor->OptionsData);

    Bytes package = WritePackage({{"Options.dat", Text("options")}});
    package.resize(package.size() - 3);
    Write("Cut.asz", package);
    std::unique_ptr<TacSkinConvertor> cut;
    EXPECT_THROW(LoadPackageFile(files_, PathText("Cut.asz"), cut, true, {}), ESkinPackageError);
    ASSERT_TRUE(cut);
    EXPECT_FALSE(cut->OwnedSource);
    EXPECT_EQ(cut->SourceStream, nullptr);
    EXPECT_FALSE(cut->OptionsData);
}

} // namespace
} // namespace kalvo
