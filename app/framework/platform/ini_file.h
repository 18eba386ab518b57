// INI files through the platform's private-profile functions (GetPrivateProfileStringW,
// WritePrivateProfileStringW). The platform creates a new file in the system ANSI code page
// and keeps the encoding of an existing one; section and key names compare without regard to
// case. Give a full path: the platform looks for a bare file name in the Windows folder.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace kalvo {

// A value could not be written. what() is "Unable to write to " and the file name (UTF-8).
class EIniFileError : public std::runtime_error {
public:
    EIniFileError(const std::string& message, std::wstring file_name)
        : std::runtime_error(message), file_name_(std::move(file_name)) {}
    const std::wstring& FileName() const { return file_name_; }

private:
    std::wstring file_name_;
};

class TIniFile {
public:
    explicit TIniFile(std::wstring file_name) : file_name_(std::move(file_name)) {}

    const std::wstring& FileName() const { return file_name_; }

    // The value as stored (the platform drops surrounding blanks and one pair of enclosing
    // quotes), or default_value when the file, section or key is missing. The platform also
    // drops trailing blanks of the default.
    std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                            const std::wstring& default_value) const;
    // Creates the file, section or key as needed; throws EIniFileError when the platform
    // refuses the write.
    void WriteString(const std::wstring& section, const std::wstring& key,
                     const std::wstring& value);

    // The value when it is a whole decimal number in the range of int (with an optional sign),
    // otherwise default_value.
    int ReadInteger(const std::wstring& section, const std::wstring& key, int default_value) const;
    void WriteInteger(const std::wstring& section, const std::wstring& key, int value);

    // Names in file order. Both read the file once.
    std::vector<std::wstring> SectionNames() const;
    std::vector<std::wstring> KeyNames(const std::wstring& section) const;
    bool SectionExists(const std::wstring& section) const;
    bool ValueExists(const std::wstring& section, const std::wstring& key) const;

private:
    std::wstring file_name_;
};

} // namespace kalvo
