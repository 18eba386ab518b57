#include "skin/options_file.h"

#include <cstddef>
#include <string>
#include <unordered_map>

namespace kalvo {
namespace {

// Blanks are the control characters and the space, as the options text trims them.
bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

std::string_view Trim(std::string_view text) {
    std::size_t first = 0;
    while (first < text.size() && IsBlank(text[first]))
        ++first;
    std::size_t last = text.size();
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
            return false;
    return true;
}

std::string UpperName(std::string_view name) {
    std::string upper(name);
    for (char& c : upper)
        c = AsciiUpper(c);
    return upper;
}

} // namespace

TsOptionsFile::TsOptionsFile(std::string_view text) {
    // Where each section lives in sections_, and which keys it already has, both by the
    // upper-cased name: a section or key written again is merged into the first one.
    std::unordered_map<std::string, std::size_t> section_index;
    std::vector<std::unordered_map<std::string, std::size_t>> key_index;
    std::size_t current = 0;
    bool in_section = false;

    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = pos;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r')
            ++end;
        const std::string_view line = Trim(text.substr(pos, end - pos));
        // One line break: LF, CR LF or CR.
        pos = end;
        if (pos < text.size() && text[pos] == '\r')
            ++pos;
        if (pos < text.size() && text[pos] == '\n')
            ++pos;

        if (line.empty() || line.front() == ';')
            continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            const std::string_view name = Trim(line.substr(1, line.size() - 2));
            auto [it, added] = section_index.try_emplace(UpperName(name), sections_.size());
            if (added) {
                sections_.push_back(TSection{std::string(name), {}});
                key_index.emplace_back();
            }
            current = it->second;
            in_section = true;
            continue;
        }
        if (!in_section)
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string_view key = Trim(line.substr(0, equals));
        const std::string_view value = Trim(line.substr(equals + 1));
        const bool added =
            key_index[current].try_emplace(UpperName(key), sections_[current].Keys.size()).second;
        if (added)
            sections_[current].Keys.push_back(TKey{std::string(key), std::string(value)});
    }
}

const TsOptionsFile::TSection* TsOptionsFile::FindSection(std::string_view name) const {
    for (const TSection& section : sections_)
        if (SameName(section.Name, name))
            return &section;
    return nullptr;
}

const TsOptionsFile::TKey* TsOptionsFile::FindKey(std::string_view section,
                                                  std::string_view key) const {
    const TSection* found = FindSection(section);
    if (found == nullptr)
        return nullptr;
    for (const TKey& k : found->Keys)
        if (SameName(k.Name, key))
            return &k;
    return nullptr;
}

bool TsOptionsFile::KeyExists(std::string_view section, std::string_view key) const {
    return FindKey(section, key) != nullptr;
}

std::string TsOptionsFile::ReadString(std::string_view section, std::string_view key,
                                      std::string_view default_value) const {
    const TKey* found = FindKey(section, key);
    return found != nullptr ? found->Value : std::string(default_value);
}

} // namespace kalvo
