// TStdSkinFiles: the skin loader's file access over std::filesystem.
//
// Path text is 8-bit in the system code page. On Windows it is converted to UTF-16 through
// the ANSI code page (and names back the same way), so that skin names outside ASCII reach
// the right files; the two conversion functions and GetModuleFileNameW are declared here
// rather than through <windows.h>, which the portable core never includes. Elsewhere a "\"
// in a path is read as "/", and the program folder is written with "\" so that the rest of
// the skin code can treat every path alike.
#include "skin/skin_files.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
extern "C" {
__declspec(dllimport) int __stdcall MultiByteToWideChar(unsigned int code_page, unsigned long flags,
                                                        const char* text, int length,
                                                        wchar_t* wide, int wide_length);
__declspec(dllimport) int __stdcall WideCharToMultiByte(unsigned int code_page, unsigned long flags,
                                                        const wchar_t* wide, int wide_length,
                                                        char* text, int length,
                                                        const char* default_char,
                                                        int* used_default_char);
__declspec(dllimport) unsigned long __stdcall GetModuleFileNameW(void* module, wchar_t* name,
                                                                 unsigned long size);
}
#endif

namespace kalvo {

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr unsigned int AnsiCodePage = 0; // CP_ACP

fs::path ToPath(const std::string& text) {
    if (text.empty())
        return {};
    const int length = MultiByteToWideChar(AnsiCodePage, 0, text.data(), int(text.size()),
                                           nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(std::size_t(length), L'\0');
    MultiByteToWideChar(AnsiCodePage, 0, text.data(), int(text.size()), wide.data(), length);
    return fs::path(wide);
}

std::string FromWide(const std::wstring& wide) {
    if (wide.empty())
        return {};
    const int length = WideCharToMultiByte(AnsiCodePage, 0, wide.data(), int(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return {};
    std::string text(std::size_t(length), '\0');
    WideCharToMultiByte(AnsiCodePage, 0, wide.data(), int(wide.size()), text.data(), length,
                        nullptr, nullptr);
    return text;
}

std::string FromPath(const fs::path& path) { return FromWide(path.native()); }

std::string RunningProgramFolder() {
    std::wstring name(260, L'\0');
    for (;;) {
        const unsigned long got =
            GetModuleFileNameW(nullptr, name.data(), static_cast<unsigned long>(name.size()));
        if (got == 0)
            return {};
        if (got < name.size()) {
            name.resize(got);
            break;
        }
        if (name.size() >= 32768)
            return {};
        name.resize(name.size() * 2);
    }
    return FromPath(fs::path(name).parent_path());
}
#else
fs::path ToPath(std::string text) {
    for (char& c : text)
        if (c == '\\')
            c = '/';
    return fs::path(text);
}

std::string FromPath(const fs::path& path) { return path.native(); }

std::string RunningProgramFolder() {
    std::error_code error;
    fs::path exe = fs::canonical("/proc/self/exe", error);
    fs::path folder = error ? fs::current_path(error) : exe.parent_path();
    if (error)
        return {};
    std::string text = folder.native();
    for (char& c : text)
        if (c == '/')
            c = '\\';
    return text;
}
#endif

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
    const fs::file_status status = fs::status(ToPath(path), error);
    return !error && fs::exists(status) && !fs::is_directory(status);
}

bool TStdSkinFiles::DirectoryExists(const std::string& path) const {
    if (path.empty())
        return false;
    std::error_code error;
    return fs::is_directory(ToPath(path), error) && !error;
}

std::vector<std::uint8_t> TStdSkinFiles::ReadFile(const std::string& path) const {
    std::ifstream in(ToPath(path), std::ios::binary);
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
    fs::directory_iterator it(ToPath(path), error);
    if (error)
        return entries;
    for (const fs::directory_iterator end; it != end; it.increment(error)) {
        if (error)
            break;
        std::error_code kind_error;
        TSkinDirEntry entry;
        entry.Name = FromPath(it->path().filename());
        entry.IsDirectory = it->is_directory(kind_error) && !kind_error;
        if (!entry.Name.empty())
            entries.push_back(std::move(entry));
    }
    return entries;
}

std::string TStdSkinFiles::ProgramFolder() const {
    if (!program_folder_.empty())
        return program_folder_;
    return WithSeparator(RunningProgramFolder());
}

} // namespace kalvo
