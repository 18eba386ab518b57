// A file system held in memory for the skin tests: paths are compared as written.
#pragma once

#include "skin/skin_files.h"

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace kalvo::testing {

class TMemorySkinFiles : public ISkinFiles {
public:
    std::map<std::string, std::vector<std::uint8_t>> Files;
    std::vector<std::string> Folders;
    std::string Program = "C:\\Program\\";

    void Add(const std::string& path, const std::string& text) {
        Files[path] = std::vector<std::uint8_t>(text.begin(), text.end());
    }
    void Add(const std::string& path, std::vector<std::uint8_t> bytes) {
        Files[path] = std::move(bytes);
    }

    bool FileExists(const std::string& path) const override { return Files.count(path) != 0; }
    bool DirectoryExists(const std::string& path) const override {
        for (const std::string& folder : Folders)
            if (folder == path)
                return true;
        return false;
    }
    std::vector<std::uint8_t> ReadFile(const std::string& path) const override {
        const auto found = Files.find(path);
        if (found == Files.end())
            throw std::runtime_error("Cannot open file \"" + path + "\"");
        return found->second;
    }
    std::vector<TSkinDirEntry> ListDirectory(const std::string& path) const override {
        std::vector<TSkinDirEntry> entries;
        const std::string prefix = path + "\\";
        for (const auto& [name, bytes] : Files)
            if (name.rfind(prefix, 0) == 0 && name.find('\\', prefix.size()) == std::string::npos)
                entries.push_back({name.substr(prefix.size()), false});
        for (const std::string& folder : Folders)
            if (folder.rfind(prefix, 0) == 0 && folder.find('\\', prefix.size()) == std::string::npos)
                entries.push_back({folder.substr(prefix.size()), true});
        return entries;
    }
    std::string ProgramFolder() const override { return Program; }
};

} // namespace kalvo::testing
