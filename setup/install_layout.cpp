#include "setup/install_layout.h"

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

} // namespace kalvo
