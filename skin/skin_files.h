// The file system as the skin loader sees it: existence tests, whole-file reads and folder
// listings by path text. Paths are 8-bit text in the system code page with "\" as the
// separator, as the skin's options and the manager's properties write them; a path
// without a drive or a leading separator is relative to the process's current folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kalvo {

struct TSkinDirEntry {
    std::string Name;
    bool IsDirectory = false;
};

class ISkinFiles {
public:
    virtual ~ISkinFiles() = default;
    virtual bool FileExists(const std::string& path) const = 0;
    virtual bool DirectoryExists(const std::string& path) const = 0;
    // The whole file; throws std::runtime_error naming the file when it cannot be read.
    virtual std::vector<std::uint8_t> ReadFile(const std::string& path) const = 0;
    // The entries of a folder ("." and ".." included when the system lists them), in the
    // system's order; empty when the folder cannot be listed.
    virtual std::vector<TSkinDirEntry> ListDirectory(const std::string& path) const = 0;
    // The folder of the running executable, ending in "\".
    virtual std::string ProgramFolder() const = 0;
};

// The real file system through std::filesystem. On systems whose separator is "/", a "\"
// in a path is read as "/". `program_folder` (ending in "\") stands for the executable's
// folder; empty means the folder of the running executable.
class TStdSkinFiles : public ISkinFiles {
public:
    explicit TStdSkinFiles(std::string program_folder = {});
    bool FileExists(const std::string& path) const override;
    bool DirectoryExists(const std::string& path) const override;
    std::vector<std::uint8_t> ReadFile(const std::string& path) const override;
    std::vector<TSkinDirEntry> ListDirectory(const std::string& path) const override;
    std::string ProgramFolder() const override;

private:
    std::string program_folder_;
};

} // namespace kalvo
