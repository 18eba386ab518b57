#include "setup/install_layout.h"

#include "setup/setup_state.h"

#include <algorithm>
#include <cwctype>

namespace kalvo {

const std::array<const wchar_t*, 17> WorkingFolders = {
    L"",
    L"output",
    L"output\\additional",
    L"outputlocal",
    L"outputlocal\\additional",
    L"outputlocal\\pools",
    L"posters",
    L"media",
    L"search",
    L"search\\sec1",
    L"search\\sec2",
    L"search\\sec3",
    L"search\\sec4",
    L"search\\sec5",
    L"search\\sec6",
    L"search\\sec7",
    L"search\\sec8",
};

const std::array<const wchar_t*, 5> TopWorkingFolders = {L"output", L"outputlocal", L"posters",
                                                         L"media", L"search"};

const std::array<TPayloadFile, 6> PayloadFiles = {{
    {ClientFileName, 40},
    {L"help.chm", 50},
    {L"kalvo.lcf", 60},
    {L"kalvo.uri", 70},
    {L"media\\media1.avi", 80},
    {L"kalvo.dll", 80},
}};

namespace {

bool SameName(const std::wstring& name, const wchar_t* ours) {
    const std::wstring other = ours;
    return std::equal(name.begin(), name.end(), other.begin(), other.end(), [](wchar_t a, wchar_t b) {
        return std::towlower(std::wint_t(a)) == std::towlower(std::wint_t(b));
    });
}

} // namespace

bool IsInstallationEntry(const std::wstring& name) {
    const auto same = [&](const wchar_t* ours) { return SameName(name, ours); };
    // The payload files directly in the folder; "media\media1.avi" lies in a working folder.
    return std::any_of(PayloadFiles.begin(), PayloadFiles.end(),
                       [&](const TPayloadFile& file) { return same(file.Name); }) ||
           std::any_of(TopWorkingFolders.begin(), TopWorkingFolders.end(), same) ||
           same(UninstallerFileName) || same(RecordFileName);
}

} // namespace kalvo
