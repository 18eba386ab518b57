#include "app/framework/dde_client_conv.h"

#include "app/framework/class_info.h"
#include "app/framework/platform/text_convert.h"

namespace kalvo {

namespace {

const TEnumInfo DataModeNames{{{"ddeAutomatic", ddeAutomatic}, {"ddeManual", ddeManual}}};

} // namespace

const TClassInfo& TDdeClientConv::StaticClassInfo() {
    using P = TDdeClientConv;
    static const TClassInfo info =
        TClassBuilder<P>("TDdeClientConv", &TComponent::StaticClassInfo())
            .Creatable()
            .Enum("ConnectMode", DataModeNames, &P::ConnectMode, &P::SetConnectMode)
            .String("DdeService", &P::DdeService, &P::SetDdeService)
            .String("DdeTopic", &P::DdeTopic, &P::SetDdeTopic)
            .Build();
    return info;
}

std::wstring TDdeClientConv::DdeService() const {
    return AnsiToWide(conversation_.Service());
}

std::wstring TDdeClientConv::DdeTopic() const {
    return AnsiToWide(conversation_.Topic());
}

void TDdeClientConv::SetDdeService(const std::wstring& service) {
    conversation_.SetService(WideToAnsi(service));
}

void TDdeClientConv::SetDdeTopic(const std::wstring& topic) {
    conversation_.SetTopic(WideToAnsi(topic));
}

void TDdeClientConv::SetLink(const std::wstring& service, const std::wstring& topic) {
    conversation_.CloseLink();
    SetDdeService(service);
    SetDdeTopic(topic);
}

void TDdeClientConv::Loaded() {
    TComponent::Loaded();
    if (connect_mode_ == ddeAutomatic && !conversation_.Service().empty())
        conversation_.OpenLink();
}

} // namespace kalvo
