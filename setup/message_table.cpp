#include "setup/message_table.h"

#include <stdexcept>

namespace kalvo {

std::int32_t LanguageIndex = 0;
std::array<std::wstring, 2 * MessagesPerLanguage> MessageTable;

namespace {

struct TMessageTexts {
    const wchar_t* English;
    const wchar_t* Russian;
};

// Messages 0 to 42, in order. The welcome text (25) breaks its lines with bare carriage
// returns, as the label that shows it expects.
const TMessageTexts Texts[] = {
    {L"Select language:", L"Выберите язык:"},
    {L"Kalvo.Net - Setup/Updates", L"Kalvo.Net - Установка/Обновление"},
    {L"Next >", L"Дальше >"},
    {L"Exit", L"Выход"},
    {L"< Back", L"< Назад"},
    {L"Attention !", L"Внимание !"},
    {L"Setup is not complete. If You quit now, the program will not be installed. You may run "
     L"the Setup program again at another time to complete the installation. Exit Setup?",
     L"Установка не завершена. Если Вы выйдете сейчас из программы установки, программа "
     L"Kalvo.Net не будет установлена. Выйти из программы установки?"},
    {L"Licence Agreement", L"Лицензионное Соглашение"},
    {L"Yes. I agree.", L"Да. Я согласен."},
    {L"No. I don\u2019t agree.", L"Нет. Я не согласен."},
    {L"Select action:", L"Выберите действие:"},
    {L"Install program", L"Установить программу"},
    {L"Update program", L"Обновить программу"},
    {L"Uninstall program", L"Удалить программу и все её файлы"},
    {L"You really wish to uninstall program Kalvo.Net and delete all files?",
     L"Вы действительно хотите деинсталировать программу Kalvo.Net и удалить все её файлы?"},
    {L"Setup will install files in the following folder:", L"Путь установки:"},
    {L"If You would like to install Kalvo.Net into a different folder then click and select "
     L"another folder.",
     L"Если Вы хотите установить программу Kalvo.Net в другую папку, то щелкните и выберите "
     L"другую папку."},
    {L"Yes", L"Да"},
    {L"No", L"Нет"},
    {L"Enter the Start Menu folder in which You would like Setup to create the program\u2019s "
     L"shortcuts:",
     L"Введите имя папки в меню Пуск, в которой программа установки создаст ярлыки запуска "
     L"программы:"},
    {L"Additional:", L"Дополнительно:"},
    {L"Create a desktop icon", L"Создать ярлык на рабочем столе"},
    {L"Create a Quick Launch icon", L"Создать ярлык в панели быстрого запуска"},
    {L"Install", L"Установить"},
    {L"Finish", L"Готово"},
    {L"This setup program will install/update Kalvo.Net on Your computer. Click Cansel if You do "
     L"not want to install this application. Click Next to continue the installation. "
     L"\r\rWARNING:\r\r\r",
     L"Программа установки будет сейчас устанавливать/обновлять Kalvo.Net на Вашем компьютере. "
     L"Нажмите Выход, если Вы не хотите устанавливать данное приложение на Вашем компьютере. "
     L"Нажмите Дальше для продолжения установки.\r\rВНИМАНИЕ:\r\r\r"},
    {L"It is impossible to create a working directory of the program on the specified path. "
     L"Select other path for program installation.",
     L"Невозможно создать рабочую директорию программы по указанному пути. Выберите другой путь "
     L"для установки программы."},
    {L"Progress:", L"Прогресс:"},
    {L"Status:", L"Статус:"},
    {L"creation of working directories...", L"создание рабочих директорий..."},
    {L"copying of files...", L"копирование файлов..."},
    {L"application registration...", L"регистрация приложения..."},
    {L"the application is installed.", L"приложение установлено."},
    {L"Click Finish to complete the installation.", L"Нажмите Готово для окончания установки."},
    {L"Launch Kalvo.Net", L"Запустить Kalvo.Net"},
    {L"application deleting...", L"удаление приложения..."},
    {L"files deleting...", L"удаление файлов..."},
    {L"the application is uninstalled", L"приложение удалено"},
    {L"Click Finish to complete the uninstallation.", L"Нажмите Готово для окончания."},
    {L"Upgrades are not required.", L"Обновления не требуется."},
    {L"Current Version:", L"Текущая версия:"},
    {L"Aviable Version:", L"Доступная версия:"},
    {L"Click Finish to complete the update.", L"Нажмите Готово для окончания обновления."},
};
static_assert(std::size(Texts) == 43);

} // namespace

void fill_message_table() {
    LanguageIndex = LanguageEnglish;
    for (std::size_t n = 0; n < std::size(Texts); ++n) {
        MessageTable[n] = Texts[n].English;
        MessageTable[MessagesPerLanguage + n] = Texts[n].Russian;
    }
}

const std::wstring& Message(std::int32_t language, int n) {
    if ((language != LanguageEnglish && language != LanguageRussian) || n < 0 ||
        n >= MessagesPerLanguage)
        throw std::out_of_range("no message " + std::to_string(n) + " in language " +
                                std::to_string(language));
    return MessageTable[std::size_t((language - 1) * MessagesPerLanguage + n)];
}

const std::wstring& Message(int n) {
    return Message(LanguageIndex, n);
}

namespace {

struct TNoticeTexts {
    TNoticeId Id;
    const wchar_t* English;
    const wchar_t* Russian;
};

const TNoticeTexts Notices[] = {
    {niDamagedSetup, L"The setup file is damaged. Please download Kalvo.Net setup again.",
     L"Файл установки повреждён. Загрузите установку Kalvo.Net заново."},
    {niNoPayload,
     L"This program is the uninstaller of Kalvo.Net and carries no program files: it cannot "
     L"install or update Kalvo.Net. To install Kalvo.Net, run the full setup program.",
     L"Эта программа — деинсталлятор Kalvo.Net, она не содержит файлов программы и не "
     L"может установить или обновить Kalvo.Net. Для установки запустите полную программу "
     L"установки."},
    {niRefusedRecordFolder,
     L"The installation record names the folder \u201C%1\u201D, which Setup will not empty. "
     L"Nothing was removed.",
     L"Запись об установке указывает на папку \u201C%1\u201D, которую программа установки не "
     L"будет очищать. Ничего не удалено."},
    {niRefusedInstallFolder,
     L"Kalvo.Net cannot be installed into \u201C%1\u201D: uninstalling it later would empty "
     L"that whole folder. Select another folder, for example a new folder inside this one.",
     L"Kalvo.Net нельзя установить в папку \u201C%1\u201D: при удалении программы эта папка "
     L"была бы очищена целиком. Выберите другую папку, например новую папку внутри этой."},
    {niFolderHoldsOtherFiles,
     L"The folder \u201C%1\u201D already holds other files. Uninstalling Kalvo.Net later "
     L"removes everything in this folder, those files too. Install into this folder anyway?",
     L"В папке \u201C%1\u201D уже есть другие файлы. При удалении Kalvo.Net будет удалено всё "
     L"содержимое этой папки, в том числе и эти файлы. Всё равно установить в эту папку?"},
    {niUnsafeGroupName,
     L"The Start Menu folder name cannot contain the characters \" [ ] or line breaks. Enter "
     L"another name.",
     L"Имя папки в меню Пуск не может содержать символы \" [ ] и переводы строк. Введите другое "
     L"имя."},
};

} // namespace

std::wstring Notice(TNoticeId id, const std::wstring& argument) {
    for (const TNoticeTexts& notice : Notices) {
        if (notice.Id != id)
            continue;
        std::wstring text = LanguageIndex == LanguageRussian ? notice.Russian : notice.English;
        if (const std::size_t at = text.find(L"%1"); at != std::wstring::npos)
            text.replace(at, 2, argument);
        return text;
    }
    throw std::out_of_range("no notice " + std::to_string(int(id)));
}

} // namespace kalvo
