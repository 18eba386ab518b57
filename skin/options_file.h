// A skin's options file: INI text whose sections and keys are kept in file order and
// looked up without regard to case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kalvo {

class TsOptionsFile {
public:
    struct TKey {
        std::string Name;   // as written, trimmed
        std::string Value;  // as written, trimmed
    };
    struct TSection {
        std::string Name;   // as written between the brackets, trimmed
        std::vector<TKey> Keys;
    };

    TsOptionsFile() = default;
    // Lines end in LF, CR LF or CR. Every line is trimmed; empty lines and lines beginning
    // with ";" are skipped; "[name]" opens a section; inside a section a line holding "="
    // adds a key (text before the first "=", text after it); other lines are not keys.
    // Lines before the first section are ignored. A section or key written twice is kept
    // once: the first place it appears, the first value (as an INI file reads it).
    explicit TsOptionsFile(std::string_view text);

    const std::vector<TSection>& Sections() const { return sections_; }
    // Case-insensitive (ASCII); nullptr when absent.
    const TSection* FindSection(std::string_view name) const;
    const TKey* FindKey(std::string_view section, std::string_view key) const;
    bool KeyExists(std::string_view section, std::string_view key) const;
    // The key's value, or `default_value` when the key is absent.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view default_value) const;

private:
    std::vector<TSection> sections_;
};

} // namespace kalvo
