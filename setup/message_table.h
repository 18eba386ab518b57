// The message table: every text of the setup program that follows the chosen language, in an
// English and a Russian row, and the language in use. Messages are named by TMessageId; the
// numbers are their places in a row.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kalvo {

inline constexpr int MessagesPerLanguage = 100;
inline constexpr std::int32_t LanguageEnglish = 1;
inline constexpr std::int32_t LanguageRussian = 2;

// The messages of a row, by their numbers.
enum TMessageId : int {
    miSelectLanguage = 0,
    miWindowTitle = 1,
    miNext = 2,
    miExit = 3,
    miBack = 4,
    miAttention = 5,
    miExitQuestion = 6,
    miLicenceAgreement = 7,
    miAgree = 8,
    miDisagree = 9,
    miSelectAction = 10,
    miInstallProgram = 11,
    miUpdateProgram = 12,
    miUninstallProgram = 13,
    miUninstallQuestion = 14,
    miInstallFolder = 15,
    miInstallFolderHint = 16,
    miYes = 17,
    miNo = 18,
    miGroupName = 19,
    miAdditional = 20,
    miDesktopIcon = 21,
    miQuickLaunchIcon = 22,
    miInstall = 23,
    miFinish = 24,
    miWelcome = 25,
    miFolderNotCreated = 26,
    miProgress = 27,
    miStatus = 28,
    miCreatingFolders = 29,
    miCopyingFiles = 30,
    miRegistering = 31,
    miInstalled = 32,
    miInstallFinishHint = 33,
    miLaunchClient = 34,
    miDeletingApplication = 35,
    miDeletingFiles = 36,
    miUninstalled = 37,
    miUninstallFinishHint = 38,
    miNoUpgrades = 39,
    miCurrentVersion = 40,
    miAvailableVersion = 41,
    miUpdateFinishHint = 42,
};

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

// Texts beyond the table, whose rows keep their fixed contents: what the setup program says
// about a setup file it cannot install from and about folders it will not use. Each is in
// the current language.
enum TNoticeId : int {
    // A payload chunk of the setup file is damaged.
    niDamagedSetup,
    // The running file carries no payload at all (the uninstaller copy).
    niNoPayload,
    // The installation record names a folder the uninstall will not empty (%1: the folder).
    niRefusedRecordFolder,
    // The chosen installation folder is one no installation may live in (%1: the folder).
    niRefusedInstallFolder,
    // The chosen folder already holds files that are not Kalvo.Net's (%1: the folder).
    niFolderHoldsOtherFiles,
    // The group name holds a character that Program Manager's commands cannot carry.
    niUnsafeGroupName,
};
// The notice in the current language, "%1" replaced by `argument`.
std::wstring Notice(TNoticeId id, const std::wstring& argument = {});

} // namespace kalvo
