#include "app/framework/platform/dde_client.h"

#include <cstring>

namespace kalvo {

namespace {

// A client-only instance gets no server transactions; the notifications it does get (the
// completion of an asynchronous execute, a disconnection by the server) need no answer.
HDDEDATA CALLBACK ClientCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
    return nullptr;
}

} // namespace

TDdeConversation::TDdeConversation() {
    DWORD instance = 0;
    if (DdeInitializeA(&instance, ClientCallback,
                       APPCMD_CLIENTONLY | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS,
                       0) == DMLERR_NO_ERROR)
        instance_ = instance;
}

TDdeConversation::~TDdeConversation() {
    CloseLink();
    if (instance_)
        DdeUninitialize(instance_);
}

bool TDdeConversation::Connect() {
    conversation_ = DdeConnect(instance_, service_handle_, topic_handle_, nullptr);
    return conversation_ != nullptr;
}

bool TDdeConversation::OpenLink() {
    CloseLink();
    if (!instance_ || service_.empty() || topic_.empty())
        return false;
    service_handle_ = DdeCreateStringHandleA(instance_, service_.c_str(), CP_WINANSI);
    topic_handle_ = DdeCreateStringHandleA(instance_, topic_.c_str(), CP_WINANSI);
    if (service_handle_ && topic_handle_) {
        if (Connect())
            return true;
        const std::string command = service_ + " " + topic_;
        if (WinExec(command.c_str(), SW_SHOWMINNOACTIVE) > 31 && Connect())
            return true;
    }
    CloseLink();
    return false;
}

void TDdeConversation::CloseLink() {
    if (conversation_) {
        DdeDisconnect(conversation_);
        conversation_ = nullptr;
    }
    if (service_handle_) {
        DdeFreeStringHandle(instance_, service_handle_);
        service_handle_ = nullptr;
    }
    if (topic_handle_) {
        DdeFreeStringHandle(instance_, topic_handle_);
        topic_handle_ = nullptr;
    }
}

std::string TDdeConversation::RequestData(const std::string& item, unsigned timeout_ms) {
    if (!conversation_)
        return {};
    HSZ item_handle = DdeCreateStringHandleA(instance_, item.c_str(), CP_WINANSI);
    if (!item_handle)
        return {};
    HDDEDATA data = DdeClientTransaction(nullptr, 0, conversation_, item_handle, CF_TEXT,
                                         XTYP_REQUEST, timeout_ms, nullptr);
    DdeFreeStringHandle(instance_, item_handle);
    if (!data)
        return {};
    std::string text;
    DWORD size = 0;
    if (const BYTE* bytes = DdeAccessData(data, &size)) {
        const void* end = std::memchr(bytes, 0, size);
        text.assign(reinterpret_cast<const char*>(bytes),
                    end ? static_cast<const BYTE*>(end) - bytes : size);
        DdeUnaccessData(data);
    }
    DdeFreeDataHandle(data);
    return text;
}

bool TDdeConversation::ExecuteMacro(const std::string& text) {
    if (!conversation_)
        return false;
    // DDEML copies the data before it returns; the closing zero travels with the text.
    std::string block = text;
    block.push_back('\0');
    DWORD transaction = 0;
    return DdeClientTransaction(reinterpret_cast<BYTE*>(block.data()), DWORD(block.size()),
                                conversation_, nullptr, 0, XTYP_EXECUTE, TIMEOUT_ASYNC,
                                &transaction) != nullptr;
}

} // namespace kalvo
