// TStdSkinFiles: the skin loader's file access over std::filesystem. Path text becomes a
// file system path through skin_paths.h, which each system implements in a file of its own.
#include "skin/skin_files.h"
#include "skin/skin_paths.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace kalvo {

namespace fs = std::filesystem;

namespace {

// The folder text ending in exactly the "\" the skin code expects; an unknown folder is the
// current one.
std::string WithSeparator(std::string folder) {
    if (folder.empty())
        return ".\\";
    if (folder.back() == '/')
        folder.back() = '\\';
    else if (folder.back() != '\\')
        folder += '\\';
    return folder;
}

} // namespace

TStdSkinFiles::TStdSkinFiles(std::string program_folder)
    : program_folder_(program_folder.empty() ? std::string() : WithSeparator(program_folder)) {}

bool TStdSkinFiles::FileExists(const std::string& path) const {
    if (path.empty())
        return false;
    std::error_code error;
    const fs::file_status status = fs::status(SkinPathFromText(path), error);
    return !error && fs::exists(status) && !fs::is_directory(status);
}

bool TStdSkinFiles::DirectoryExists(const std::string& path) const {
    if (path.empty())
        return false;
    std::error_code error;
    return fs::is_directory(SkinPathFromText(path), error) && !error;
}

std::vector<std::uint8_t> TStdSkinFiles::ReadFile(const std::string& path) const {
    std::ifstream in(SkinPathFromText(path), std::ios::binary);
    if (!in || DirectoryExists(path))
        throw std::runtime_error("Cannot open file \"" + path + "\"");
    std::vector<std::uint8_t> bytes;
    char block[65536];
    while (in) {
        in.read(block, sizeof block);
        const std::streamsize got = in.gcount();
        if (got > 0)
            bytes.insert(bytes.end(), block, block + got);
    }
    if (in.bad())
        throw std::runtime_error("Cannot read file \"" + path + "\"");
    return bytes;
}

std::vector<TSkinDirEntry> TStdSkinFiles::ListDirectory(const std::string& path) const {
    std::vector<TSkinDirEntry> entries;
    std::error_code error;
    fs::directory_iterator it(SkinPathFromText(path), error);
    if (error)
        return entries;
    for (const fs::directory_iterator end; it != end; it.increment(error)) {
        if (error)
            break;
        std::error_code kind_error;
        TSkinDirEntry entry;
        entry.Name = SkinTextFromPath(it->path().filename());
        entry.IsDirectory = it->is_directory(kind_error) && !kind_error;
        if (!entry.Name.empty())
            entries.push_back(std::move(entry));
    }
    return entries;
}

std::string TStdSkinFiles::ProgramFolder() const {
    if (!program_folder_.empty())
        return program_folder_;
    return WithSeparator(RunningProgramFolderText());
}

} // namespace kalvo
