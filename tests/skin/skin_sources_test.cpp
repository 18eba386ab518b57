#include "skin/skin_files.h"
#include "skin/skin_package.h"
#include "skin/skin_sources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace kalvo {
namespace {

using Names = std::vector<std::string>;

// A file system of path texts: a path exists only when written exactly so, which also checks
// the paths the code builds.
class TFakeFiles : public ISkinFiles {
public:
    std::set<std::string> files;
    std::set<std::string> directories;
    std::map<std::string, std::vector<TSkinDirEntry>> listings;
    std::string program = "C:\\Prog\\";

    bool FileExists(const std::string& path) const override { return files.count(path) > 0; }
    bool DirectoryExists(const std::string& path) const override {
        return directories.count(path) > 0;
    }
    std::vector<std::uint8_t> ReadFile(const std::string& path) const override {
        throw std::runtime_error("no contents in the fake: " + path);
    }
    std::vector<TSkinDirEntry> ListDirectory(const std::string& path) const override {
        const auto it = listings.find(path);
        return it == listings.end() ? std::vector<TSkinDirEntry>{} : it->second;
    }
    std::string ProgramFolder() const override { return program; }
};

TEST(SkinDirectory, BothFormsOfTheText) {
    struct TCase {
        std::string text;
        std::string program;
        std::string as_written;
        std::string full;
    };
    const std::vector<TCase> cases = {
        {"", "C:\\Prog\\", "", "C:\\Prog\\"},
        {"c", "C:\\Prog\\", "c:\\", "C:\\Prog\\c"},
        {"c:\\Skins\\", "C:\\Prog\\", "c:\\Skins\\", "c:\\Skins\\"},
        {"c:\\Skins/", "C:\\Prog\\", "c:\\Skins\\", "c:\\Skins/"},
        {"c:\\Skins", "C:\\Prog\\", "c:\\Skins\\", "c:\\Skins"},
        {"..\\Skins", "C:\\Prog\\", "..\\Skins\\", "C:\\Skins"},
        {"..\\Skins", "D:\\Apps\\Kalvo\\", "..\\Skins\\", "D:\\Apps\\Skins"},
        {"..\\Skins", "C:\\", "..\\Skins\\", "C:\\Skins"},
        {".\\Skins", "C:\\Prog\\", ".\\Skins\\", "C:\\Prog\\Skins"},
        {"./Skins", "C:\\Prog\\", "./Skins\\", "C:\\Prog\\Skins"},
        {"Skins", "C:\\Prog\\", "Skins\\", "C:\\Prog\\Skins"},
        {"Skins\\Blue", "C:\\Prog\\", "Skins\\Blue\\", "C:\\Prog\\Skins\\Blue"},
        {"\\\\server\\Skins", "C:\\Prog\\", "\\\\server\\Skins\\", "\\\\server\\Skins"},
        {"/", "C:\\Prog\\", "\\", "C:\\Prog\\/"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE("\"" + c.text + "\" in \"" + c.program + "\"");
        EXPECT_EQ(SkinDirectoryAsWritten(c.text), c.as_written);
        EXPECT_EQ(FullSkinDirectory(c.text, c.program), c.full);
    }
}

TEST(FindSkinSource, APackedFileWinsOverAFolder) {
    TFakeFiles files;
    files.files = {"c:\\Skins\\Topaz.asz", "c:\\Skins\\Topaz\\Options.dat"};
    const TSkinSource source = FindSkinSource(files, "c:\\Skins", "Topaz", {"Topaz"});
    EXPECT_EQ(source.Kind, TSkinSourceKind::PackedFile);
    EXPECT_EQ(source.Path, "c:\\Skins\\Topaz.asz");
    EXPECT_EQ(source.SkinFolder, "c:\\Skins\\");
    EXPECT_EQ(source.SkinName, "Topaz");
    EXPECT_EQ(source.InternalIndex, -1);
}

TEST(FindSkinSource, APackedFileIsLookedForAsWrittenItsFolderInFull) {
    // The packed file is looked for relative to the current folder; the folder it sets is
    // resolved against the program's folder.
    TFakeFiles files;
    files.files = {"Skins\\Blue.asz"};
    const TSkinSource source = FindSkinSource(files, "Skins", "Blue", {});
    EXPECT_EQ(source.Kind, TSkinSourceKind::PackedFile);
    EXPECT_EQ(source.Path, "Skins\\Blue.asz");
    EXPECT_EQ(source.SkinFolder, "C:\\Prog\\Skins\\");

    files.files = {"c:\\Blue.asz"};
    EXPECT_EQ(FindSkinSource(files, "c", "Blue", {}).Path, "c:\\Blue.asz");
}

TEST(FindSkinSource, AFolderWithOptionsWinsOverTheInternalSkins) {
    TFakeFiles files;
    files.files = {"C:\\Prog\\Skins\\Topaz\\Options.dat"};
    const TSkinSource source = FindSkinSource(files, ".\\Skins", "Topaz", {"Topaz"});
    EXPECT_EQ(source.Kind, TSkinSourceKind::Folder);
    EXPECT_EQ(source.Path, "C:\\Prog\\Skins\\Topaz\\Options.dat");
    EXPECT_EQ(source.SkinFolder, "C:\\Prog\\Skins\\Topaz\\");
    EXPECT_EQ(source.SkinName, "Topaz");

    // A folder of that name without the options file is no skin.
    files.files.clear();
    files.directories = {"C:\\Prog\\Skins\\Topaz"};
    EXPECT_EQ(FindSkinSource(files, ".\\Skins", "Topaz", {"Topaz"}).Kind,
              TSkinSourceKind::Internal);
}

TEST(FindSkinSource, InternalSkins) {
    struct TCase {
        std::string asked;
        Names internal;
        TSkinSourceKind kind;
        int index;
        std::string name;
    };
    const std::vector<TCase> cases = {
        {"Topaz (internal)", {"Topaz (internal)"}, TSkinSourceKind::Internal, 0, "Topaz (internal)"},
        {"Topaz", {"topaz", "Topaz"}, TSkinSourceKind::Internal, 1, "Topaz"},
        {"Other", {"Topaz", "Other", "Other"}, TSkinSourceKind::Internal, 1, "Other"},
        // No exact match: the first internal skin, whose name is taken.
        {"TOPAZ", {"Topaz", "Other"}, TSkinSourceKind::Internal, 0, "Topaz"},
        {"Nowhere", {"First", "Second"}, TSkinSourceKind::Internal, 0, "First"},
        {"", {"First"}, TSkinSourceKind::Internal, 0, "First"},
        {"Nowhere", {}, TSkinSourceKind::None, -1, "Nowhere"},
    };
    TFakeFiles files;
    files.directories = {"c:\\Skins"};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.asked);
        const TSkinSource source = FindSkinSource(files, "c:\\Skins", c.asked, c.internal);
        EXPECT_EQ(source.Kind, c.kind);
        EXPECT_EQ(source.InternalIndex, c.index);
        EXPECT_EQ(source.SkinName, c.name);
        EXPECT_EQ(source.SkinFolder, "");
        EXPECT_EQ(source.Path, "");
    }
}

class ListSkinNamesTest : public testing::Test {
protected:
    void SetUp() override {
        files_.directories = {"C:\\Prog\\Skins"};
        files_.listings["C:\\Prog\\Skins"] = {
            {".", true},           {"..", true},          {"zeta.asz", false},
            {"Blue.ASZ", false},   {"Alpha", true},       {"empty", true},
            {".hidden", true},     {".dot.asz", false},   {"beta", true},
            {"Gamma.v2.asz", false}, {"notes.txt", false}, {"old.asz.bak", false},
            {"Folder.asz", true},  {"Options.dat", false}, {"asz", false}};
        files_.files = {"C:\\Prog\\Skins\\Alpha\\Options.dat", "C:\\Prog\\Skins\\beta\\Options.dat",
                        "C:\\Prog\\Skins\\.hidden\\Options.dat",
                        "C:\\Prog\\Skins\\Folder.asz\\Options.dat"};
    }

    std::string List(int kind, const Names& internal) {
        return ListSkinNames(files_, "Skins", internal, kind, list_);
    }

    TFakeFiles files_;
    Names list_ = {"left over"};
};

TEST_F(ListSkinNamesTest, FolderSkins) {
    EXPECT_EQ(List(slFolders, {"Topaz (internal)"}), "Topaz (internal)");
    EXPECT_EQ(list_, (Names{"Alpha", "beta", "Folder.asz", "Topaz (internal)"}));
    EXPECT_EQ(List(slFolders, {}), "Alpha");
}

TEST_F(ListSkinNamesTest, PackedFiles) {
    EXPECT_EQ(List(slPacked, {"Topaz (internal)"}), "Topaz (internal)");
    EXPECT_EQ(list_, (Names{"Gamma", "Topaz (internal)", "zeta"}));
    EXPECT_EQ(List(slPacked, {}), "zeta");
}

TEST_F(ListSkinNamesTest, Both) {
    EXPECT_EQ(List(slBoth, {"Topaz (internal)", "Amber"}), "Topaz (internal)");
    EXPECT_EQ(list_,
              (Names{"Alpha", "Amber", "beta", "Folder.asz", "Gamma", "Topaz (internal)", "zeta"}));
    EXPECT_EQ(List(slBoth, {}), "zeta");
    EXPECT_EQ(list_, (Names{"Alpha", "beta", "Folder.asz", "Gamma", "zeta"}));
}

TEST_F(ListSkinNamesTest, OnlyInternalSkinsWithoutTheDirectory) {
    files_.directories.clear();
    EXPECT_EQ(List(slBoth, {"b", "A"}), "b");
    EXPECT_EQ(list_, (Names{"A", "b"}));
    EXPECT_EQ(List(slBoth, {}), "");
    EXPECT_TRUE(list_.empty());
}

// The real file system, in a private folder under the temporary folder; paths are written
// with "\" as the skin code writes them.
class SkinFilesOnDisk : public testing::Test {
protected:
    void SetUp() override {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        root_ = std::filesystem::temp_directory_path() /
                ("kalvo_skin_sources_" + std::to_string(stamp));
        std::filesystem::create_directories(root_ / "Skins" / "Aqua");
        std::filesystem::create_directories(root_ / "Skins" / "Empty");
        Write("Skins/Aqua/Options.dat", "[GLOBALINFO]\r\n");
        const std::vector<std::uint8_t> package =
            WritePackage({{"Options.dat", {'o'}}, {"Master.bmp", {'m'}}});
        Write("Skins/Blue.asz", std::string(package.begin(), package.end()));
        Write("Skins/Red.ASZ", "x");
        root_text_ = Text(root_);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream out(root_ / name, std::ios::binary);
        out << bytes;
    }
    static std::string Text(const std::filesystem::path& path) {
        std::string text = path.string();
        std::replace(text.begin(), text.end(), '/', '\\');
        return text;
    }

    std::filesystem::path root_;
    std::string root_text_;
};

TEST_F(SkinFilesOnDisk, AnswersForPathsWrittenWithBackslashes) {
    const TStdSkinFiles files(root_text_);
    EXPECT_EQ(files.ProgramFolder(), root_text_ + "\\");
    EXPECT_TRUE(files.FileExists(root_text_ + "\\Skins\\Aqua\\Options.dat"));
    EXPECT_FALSE(files.FileExists(root_text_ + "\\Skins\\Aqua"));
    EXPECT_FALSE(files.FileExists(root_text_ + "\\Skins\\Aqua\\Missing.dat"));
    EXPECT_FALSE(files.FileExists(""));
    EXPECT_TRUE(files.DirectoryExists(root_text_ + "\\Skins\\Aqua"));
    EXPECT_FALSE(files.DirectoryExists(root_text_ + "\\Skins\\Blue.asz"));
    EXPECT_FALSE(files.DirectoryExists(root_text_ + "\\Skins\\Missing"));
    const auto bytes = files.ReadFile(root_text_ + "\\Skins\\Aqua\\Options.dat");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "[GLOBALINFO]\r\n");
    try {
        files.ReadFile(root_text_ + "\\Skins\\Missing.dat");
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("Missing.dat"), std::string::npos);
    }
    EXPECT_THROW(files.ReadFile(root_text_ + "\\Skins\\Aqua"), std::runtime_error);

    std::vector<TSkinDirEntry> listing = files.ListDirectory(root_text_ + "\\Skins");
    std::map<std::string, bool> seen;
    for (const auto& entry : listing)
        if (entry.Name != "." && entry.Name != "..")
            seen[entry.Name] = entry.IsDirectory;
    EXPECT_EQ(seen, (std::map<std::string, bool>{
                        {"Aqua", true}, {"Blue.asz", false}, {"Empty", true}, {"Red.ASZ", false}}));
    EXPECT_TRUE(files.ListDirectory(root_text_ + "\\Missing").empty());
}

TEST_F(SkinFilesOnDisk, ProgramFolderOfTheRunningProgram) {
    for (const std::string& given : {std::string("C:\\Prog"), std::string("C:\\Prog\\"),
                                    std::string("C:\\Prog/")})
        EXPECT_EQ(TStdSkinFiles(given).ProgramFolder(), "C:\\Prog\\") << given;

    const TStdSkinFiles files;
    const std::string folder = files.ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_TRUE(files.DirectoryExists(folder));
    EXPECT_TRUE(files.FileExists(folder + "kalvo_skin_tests") ||
                files.FileExists(folder + "kalvo_skin_tests.exe"))
        << folder;
}

TEST_F(SkinFilesOnDisk, FindsAndListsSkinsInTheProgramsFolder) {
    const TStdSkinFiles files(root_text_);
    const TSkinSource folder = FindSkinSource(files, ".\\Skins", "Aqua", {"Topaz (internal)"});
    EXPECT_EQ(folder.Kind, TSkinSourceKind::Folder);
    EXPECT_EQ(folder.SkinFolder, root_text_ + "\\Skins\\Aqua\\");
    EXPECT_EQ(FindSkinSource(files, ".\\Skins", "Empty", {"Topaz (internal)"}).Kind,
              TSkinSourceKind::Internal);

    Names list;
    EXPECT_EQ(ListSkinNames(files, ".\\Skins", {"Topaz (internal)"}, slBoth, list),
              "Topaz (internal)");
    EXPECT_EQ(list, (Names{"Aqua", "Blue", "Topaz (internal)"}));

    // The packed file is found relative to the current folder.
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(root_);
    const TSkinSource packed = FindSkinSource(files, "Skins", "Blue", {"Topaz (internal)"});
    std::unique_ptr<TacSkinConvertor> convertor;
    const bool loaded = packed.Kind == TSkinSourceKind::PackedFile &&
                        LoadPackageFile(files, packed.Path, convertor, true, {});
    std::filesystem::current_path(before);
    EXPECT_EQ(packed.Kind, TSkinSourceKind::PackedFile);
    EXPECT_EQ(packed.Path, "Skins\\Blue.asz");
    EXPECT_EQ(packed.SkinFolder, root_text_ + "\\Skins\\");
    ASSERT_TRUE(loaded);
    ASSERT_TRUE(convertor->OptionsData);
    EXPECT_NE(convertor->FindImage("MASTER.BMP"), nullptr);
}

} // namespace
} // namespace kalvo
