#include "setup/message_table.h"

#include <gtest/gtest.h>

namespace kalvo {
namespace {

class MessageTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        MessageTable = {};
        LanguageIndex = LanguageRussian;
        fill_message_table();
    }
};

TEST_F(MessageTableTest, StartsInEnglishWithBothRowsFilledUpToMessage42) {
    EXPECT_EQ(LanguageIndex, LanguageEnglish);
    for (int n = 0; n < MessagesPerLanguage; ++n) {
        for (std::int32_t language : {LanguageEnglish, LanguageRussian})
            EXPECT_EQ(Message(language, n).empty(), n > 42) << "message " << n << ", row "
                                                             << language;
    }
    EXPECT_EQ(MessageTable[1], L"Kalvo.Net - Setup/Updates");
    EXPECT_EQ(MessageTable[101], L"Kalvo.Net - Установка/Обновление");
    EXPECT_EQ(MessageTable[42], L"Click Finish to complete the update.");
    EXPECT_EQ(MessageTable[142], L"Нажмите Готово для окончания обновления.");
}

TEST_F(MessageTableTest, LooksUpTheCurrentRow) {
    EXPECT_EQ(Message(5), L"Attention !");
    LanguageIndex = LanguageRussian;
    EXPECT_EQ(Message(5), L"Внимание !");
    EXPECT_EQ(Message(17), L"Да");
    EXPECT_EQ(Message(18), L"Нет");
    LanguageIndex = 3;
    EXPECT_THROW(Message(5), std::out_of_range);
    LanguageIndex = LanguageEnglish;
    EXPECT_THROW(Message(100), std::out_of_range);
    EXPECT_THROW(Message(-1), std::out_of_range);
}

TEST_F(MessageTableTest, KeepsTheTypographicApostropheAndTheWelcomeTextsLineBreaks) {
    EXPECT_EQ(Message(9), L"No. I don\u2019t agree.");
    EXPECT_NE(Message(19).find(L"program\u2019s shortcuts:"), std::wstring::npos);
    const std::wstring english = Message(LanguageEnglish, 25);
    const std::wstring russian = Message(LanguageRussian, 25);
    EXPECT_EQ(english.find(L'\n'), std::wstring::npos);
    EXPECT_EQ(russian.find(L'\n'), std::wstring::npos);
    const std::wstring english_tail = L"continue the installation. \r\rWARNING:\r\r\r";
    const std::wstring russian_tail = L"для продолжения установки.\r\rВНИМАНИЕ:\r\r\r";
    ASSERT_GE(english.size(), english_tail.size());
    ASSERT_GE(russian.size(), russian_tail.size());
    EXPECT_EQ(english.substr(english.size() - english_tail.size()), english_tail);
    EXPECT_EQ(russian.substr(russian.size() - russian_tail.size()), russian_tail);
    EXPECT_EQ(english.rfind(L"This setup program will install/update Kalvo.Net", 0), 0u);
}

TEST_F(MessageTableTest, NamesAreTheNumbersOfTheirTexts) {
    EXPECT_EQ(Message(miWindowTitle), L"Kalvo.Net - Setup/Updates");
    EXPECT_EQ(Message(miFolderNotCreated).rfind(L"It is impossible to create", 0), 0u);
    EXPECT_EQ(Message(miUpdateFinishHint), L"Click Finish to complete the update.");
}

// The texts beyond the table follow the language and carry their folder.
TEST_F(MessageTableTest, NoticesFollowTheLanguageAndNameTheirFolder) {
    for (const TNoticeId id : {niDamagedSetup, niNoPayload, niRefusedRecordFolder,
                               niRefusedInstallFolder, niFolderHoldsOtherFiles, niUnsafeGroupName}) {
        LanguageIndex = LanguageEnglish;
        const std::wstring english = Notice(id, L"D:\\Games");
        LanguageIndex = LanguageRussian;
        const std::wstring russian = Notice(id, L"D:\\Games");
        EXPECT_NE(english, russian) << id;
        EXPECT_EQ(english.find(L"%1"), std::wstring::npos) << id;
        EXPECT_EQ(russian.find(L"%1"), std::wstring::npos) << id;
        // Russian texts are in Cyrillic.
        EXPECT_NE(russian.find_first_of(L"\u0430\u0435\u043E"), std::wstring::npos) << id;
    }
    LanguageIndex = LanguageEnglish;
    EXPECT_NE(Notice(niFolderHoldsOtherFiles, L"D:\\Games").find(L"\u201CD:\\Games\u201D"),
              std::wstring::npos);
    EXPECT_EQ(Notice(niDamagedSetup), L"The setup file is damaged. Please download Kalvo.Net setup again.");
}

} // namespace
} // namespace kalvo
