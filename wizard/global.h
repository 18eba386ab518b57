// The message table: every text of the setup program that follows the chosen language, in an
// English and a Russian row, and the language in use.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kalvo {

inline constexpr int MessagesPerLanguage = 100;
inline constexpr std::int32_t LanguageEnglish = 1;
inline constexpr std::int32_t LanguageRussian = 2;

// 1 English, 2 Russian: the row that Message reads.
extern std::int32_t LanguageIndex;
// Row L, message n is element (L - 1) * 100 + n. Messages 0 to 42 of each row are filled.
extern std::array<std::wstring, 2 * MessagesPerLanguage> MessageTable;

// Sets LanguageIndex to English and fills both rows of the table; what the data module's
// creation does.
void fill_message_table();

// Message n in the current language, looked up each time a text is shown.
const std::wstring& Message(int n);
// Message n of a given row, whatever the current language.
const std::wstring& Message(std::int32_t language, int n);

// Said when a payload chunk of the setup file turns out damaged, in the current language. It
// is not part of the table, whose rows keep their fixed contents.
const std::wstring& DamagedSetupMessage();
// Said when the installation record names a folder the uninstall will not empty.
std::wstring RefusedFolderMessage(const std::wstring& folder);

} // namespace kalvo
