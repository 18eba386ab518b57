// A DDE client conversation through DDEML, with string handles and data in the Windows ANSI
// code page (CP_WINANSI, clipboard format CF_TEXT). The connection opens only when asked
// (OpenLink) and starts the server's program once when no server answers.
//
// Threads: create, use and destroy an object on one thread; DDEML binds the instance and
// its conversation windows to the thread that initialised it. DdeConnect and synchronous
// requests wait inside DDEML and need nothing from the caller. The acknowledgement of an
// asynchronous execute and a server's own termination of the conversation arrive as posted
// messages: the thread must keep running a message loop (GetMessage and DispatchMessage, as
// a user-interface thread does) so that DDEML can complete them. A server in the same
// process belongs on another thread with a message loop of its own.
#pragma once

#include <string>
#include <utility>
#include <windows.h>
// DDEML's declarations build on those of <windows.h>.
#include <ddeml.h>

namespace kalvo {

class TDdeConversation {
public:
    // Registers a client-only DDEML instance (DdeInitializeA, APPCMD_CLIENTONLY). When that
    // fails, Initialized() is false and OpenLink does nothing.
    TDdeConversation();
    ~TDdeConversation();
    TDdeConversation(const TDdeConversation&) = delete;
    TDdeConversation& operator=(const TDdeConversation&) = delete;

    bool Initialized() const { return instance_ != 0; }

    // Service and topic names in the ANSI code page. A change applies at the next OpenLink.
    const std::string& Service() const { return service_; }
    const std::string& Topic() const { return topic_; }
    void SetService(std::string service) { service_ = std::move(service); }
    void SetTopic(std::string topic) { topic_ = std::move(topic); }

    // Closes any open conversation, then connects to Service and Topic. When no server
    // answers, runs "<service> <topic>" through WinExec (minimised, not activated) and, when
    // that start succeeds, tries to connect once more. WinExec returns once the started
    // program waits for input, by which time a server has normally registered its name.
    // False when no conversation could be opened, or the service or topic is empty.
    bool OpenLink();
    // Disconnects and frees the service and topic string handles. Safe to call at any time.
    void CloseLink();
    bool IsOpen() const { return conversation_ != nullptr; }

    // A synchronous request of item in CF_TEXT, waiting at most timeout_ms. The answer up
    // to its first zero byte; "" when no conversation is open, the server refuses, or no
    // answer comes in time.
    std::string RequestData(const std::string& item, unsigned timeout_ms = 10000);

    // Sends text, closed with a zero byte, as one execute transaction without waiting for the
    // server's acknowledgement (TIMEOUT_ASYNC); whether the server accepted the commands is
    // not known. True when DDEML took the transaction; false when no conversation is open.
    bool ExecuteMacro(const std::string& text);

private:
    bool Connect();

    DWORD instance_ = 0;
    HCONV conversation_ = nullptr;
    HSZ service_handle_ = nullptr;
    HSZ topic_handle_ = nullptr;
    std::string service_;
    std::string topic_;
};

} // namespace kalvo
