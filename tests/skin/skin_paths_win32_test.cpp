// Skin path text outside ASCII on Windows: bytes in the ANSI code page reach the files whose
// UTF-16 names they stand for, and listings give the names back in the same bytes.
#include "app/framework/platform/text_convert.h"
#include "skin/skin_files.h"
#include "skin/skin_package.h"
#include "skin/skin_sources.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

namespace kalvo {
namespace {

namespace fs = std::filesystem;

// A name the ANSI code page holds with at least one byte outside ASCII, whatever the code
// page is (Western, Cyrillic, Greek, Central European or UTF-8).
std::wstring NameOutsideAscii() {
    for (const wchar_t* name :
         {L"Gr\u00fcn \u00e9t\u00e9", L"\u0421\u0438\u043d\u0438\u0439",
          L"\u0393\u03b1\u03bb\u03ac\u03b6\u03b9\u03bf", L"\u017dlut\u00fd"}) {
        const std::string ansi = WideToAnsi(name);
        const bool outside_ascii =
            std::any_of(ansi.begin(), ansi.end(), [](char c) { return (unsigned char)c >= 0x80; });
        if (outside_ascii && AnsiToWide(ansi) == name)
            return name;
    }
    return {};
}

class SkinPathsWin32 : public testing::Test {
protected:
    void SetUp() override {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        root_ = fs::temp_directory_path() / ("kalvo_skin_paths_" + std::to_string(stamp));
        fs::create_directories(root_ / "Skins");
        root_text_ = WideToAnsi(root_.native());
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    void Write(const fs::path& path, const std::string& bytes) const {
        std::ofstream out(path, std::ios::binary);
        out << bytes;
    }

    fs::path root_;
    std::string root_text_;
};

TEST_F(SkinPathsWin32, AnsiNamesReachTheirFiles) {
    const std::wstring name = NameOutsideAscii();
    ASSERT_FALSE(name.empty()) << "no test name fits the ANSI code page " << GetACP();
    const std::string ansi = WideToAnsi(name);
    fs::create_directories(root_ / "Skins" / name);
    Write(root_ / "Skins" / name / L"Options.dat", "[GLOBALINFO]\r\n");
    const std::vector<std::uint8_t> package = WritePackage({{"Options.dat", {'o'}}});
    Write(root_ / "Skins" / (name + L" packed.asz"), std::string(package.begin(), package.end()));

    const TStdSkinFiles files(root_text_);
    const std::string folder = root_text_ + "\\Skins\\" + ansi;
    EXPECT_TRUE(files.DirectoryExists(folder));
    EXPECT_TRUE(files.FileExists(folder + "\\Options.dat"));
    const std::vector<std::uint8_t> bytes = files.ReadFile(folder + "\\Options.dat");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "[GLOBALINFO]\r\n");

    std::vector<std::string> listed;
    for (const TSkinDirEntry& entry : files.ListDirectory(root_text_ + "\\Skins"))
        listed.push_back(entry.Name + (entry.IsDirectory ? "\\" : ""));
    std::sort(listed.begin(), listed.end());
    listed.erase(std::remove_if(listed.begin(), listed.end(),
                                [](const std::string& n) { return n == ".\\" || n == "..\\"; }),
                 listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{ansi + " packed.asz", ansi + "\\"}));

    // The skin code finds and lists both skins by these names.
    const std::string skins = root_text_ + "\\Skins";
    std::vector<std::string> names;
    ListSkinNames(files, skins, {}, slBoth, names);
    EXPECT_EQ(names, (std::vector<std::string>{ansi, ansi + " packed"}));
    const TSkinSource packed = FindSkinSource(files, skins, ansi + " packed", {});
    EXPECT_EQ(packed.Kind, TSkinSourceKind::PackedFile);
    std::unique_ptr<TacSkinConvertor> convertor;
    EXPECT_TRUE(LoadPackageFile(files, packed.Path, convertor, true, {}));
    EXPECT_EQ(FindSkinSource(files, skins, ansi, {}).Kind, TSkinSourceKind::Folder);

    // The same name in UTF-8 is other bytes (unless UTF-8 is the ANSI code page) and names
    // no file.
    const std::string utf8 = WideToUtf8(name);
    if (utf8 != ansi) {
        EXPECT_FALSE(files.DirectoryExists(root_text_ + "\\Skins\\" + utf8));
    }
}

} // namespace
} // namespace kalvo
