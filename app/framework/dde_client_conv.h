// TDdeClientConv: a form's DDE client conversation as a component. It holds the service and
// topic a form definition gives it and carries out the conversation through the platform's
// DDEML client (platform/dde_client.h), with strings and data in the ANSI code page.
#pragma once

#include "app/framework/component.h"
#include "app/framework/platform/dde_client.h"

#include <string>

namespace kalvo {

enum TDataMode { ddeAutomatic, ddeManual };

class TDdeClientConv : public TComponent {
public:
    using TComponent::TComponent;
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    // Automatic: the conversation opens once the definition has been read, when a service
    // is set. Manual: only OpenLink opens it.
    TDataMode ConnectMode() const { return connect_mode_; }
    void SetConnectMode(TDataMode mode) { connect_mode_ = mode; }
    std::wstring DdeService() const;
    std::wstring DdeTopic() const;
    void SetDdeService(const std::wstring& service);
    void SetDdeTopic(const std::wstring& topic);

    // Sets service and topic for the next OpenLink, closing any open conversation first.
    void SetLink(const std::wstring& service, const std::wstring& topic);
    // See TDdeConversation: connects, starting "<service> <topic>" once when no server
    // answers.
    bool OpenLink() { return conversation_.OpenLink(); }
    void CloseLink() { conversation_.CloseLink(); }
    bool IsOpen() const { return conversation_.IsOpen(); }
    // The answer in the ANSI code page; "" without a conversation or an answer in time.
    std::string RequestData(const std::string& item, unsigned timeout_ms = 10000) {
        return conversation_.RequestData(item, timeout_ms);
    }
    // One execute transaction of text (ANSI), not waiting for the acknowledgement.
    bool ExecuteMacro(const std::string& text) { return conversation_.ExecuteMacro(text); }

    void Loaded() override;

private:
    TDataMode connect_mode_ = ddeAutomatic;
    TDdeConversation conversation_;
};

} // namespace kalvo
