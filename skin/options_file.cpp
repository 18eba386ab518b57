#include "skin/options_file.h"

#include "skin/skin_text.h"

#include <cstddef>
#include <string>
#include <unordered_map>

namespace kalvo {

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
        const std::string_view line = TrimSkinText(text.substr(pos, end - pos));
        // One line break: LF, CR LF or CR.
        pos = end;
        if (pos < text.size() && text[pos] == '\r')
            ++pos;
        if (pos < text.size() && text[pos] == '\n')
            ++pos;

        if (line.empty() || line.front() == ';')
            continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            const std::string_view name = TrimSkinText(line.substr(1, line.size() - 2));
            auto [it, added] = section_index.try_emplace(SkinUpperCase(name), sections_.size());
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
        const std::string_view key = TrimSkinText(line.substr(0, equals));
        const std::string_view value = TrimSkinText(line.substr(equals + 1));
        const bool added =
            key_index[current].try_emplace(SkinUpperCase(key), sections_[current].Keys.size()).second;
        if (added)
            sections_[current].Keys.push_back(TKey{std::string(key), std::string(value)});
    }
}

const TsOptionsFile::TSection* TsOptionsFile::FindSection(std::string_view name) const {
    for (const TSection& section : sections_)
        if (SameSkinName(section.Name, name))
            return &section;
    return nullptr;
}

const TsOptionsFile::TKey* TsOptionsFile::FindKey(std::string_view section,
                                                  std::string_view key) const {
    const TSection* found = FindSection(section);
    if (found == nullptr)
        return nullptr;
    for (const TKey& k : found->Keys)
        if (SameSkinName(k.Name, key))
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
