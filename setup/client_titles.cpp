#include "setup/client_titles.h"

namespace kalvo {

const std::array<const wchar_t*, 5> ClientWindowTitles{
    L"Kalvo.Net - peer-to-peer file sharing",
    L"Kalvo.Net - пиринговый обмен файлами",
    L"Kalvo.Net - Peer-to-Peer-Dateiaustausch",
    L"Kalvo.Net - partage de fichiers en pair-à-pair",
    L"Kalvo.Net - intercambio de archivos entre pares",
};

} // namespace kalvo
