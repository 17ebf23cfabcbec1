#include "host/host_messages.h"

#include <cstring>

#include "base/text.h"
#include "plugin/host_abi.h"

void HostMessages::Handle(void* record) {
    if (!record) {
        return;
    }
    uint32_t id = 0;
    std::memcpy(&id, record, sizeof id);
    switch (id) {
        case kServiceFailureMessageId:
            ServiceFailure(record);
            break;
        case kClientLookupMessageId:
            LookupClient(record);
            break;
        case kClientSelectedMessageId:
            ClientSelected(record);
            break;
        default:
            log_.ShowMessage(
                base::Format("The plug-in sent message %u, which the terminal does not know", id));
            break;
    }
}

void HostMessages::ServiceFailure(void* record) {
    const auto* message = static_cast<const ServiceFailureMessage*>(record);
    const std::string text = base::FieldText(message->Text);
    // "null" is the companion's word for a request that got no answer at all.
    if (text == "null") {
        log_.ShowMessage("The IPO service" +
                         (serviceAddress_.empty() ? std::string() : " at " + serviceAddress_) +
                         " cannot be reached: the plug-in's request got no answer");
        return;
    }
    log_.ShowMessage(text);
}

void HostMessages::LookupClient(void* record) {
    auto* message = static_cast<ClientLookupMessage*>(record);
    const std::string typed = base::FieldText(message->ClientIdTyped);
    std::string error;
    const std::optional<ClientRecord> client = clients_.Lookup(typed, error);
    if (!client) {
        log_.ShowMessage(error);
        return;
    }
    // A field that cannot hold the service's text stays empty: a cut id or code would name
    // another client.
    const bool fits = base::CopyField(message->ClientId, client->id) &&
                      base::CopyField(message->ClientCode, client->code);
    if (!fits) {
        std::memset(message->ClientId, 0, sizeof message->ClientId);
        std::memset(message->ClientCode, 0, sizeof message->ClientCode);
        log_.ShowMessage("Client " + typed +
                         " has an id or code longer than 29 characters; it cannot be used");
        return;
    }
    if (!base::CopyField(message->ClientName, client->name)) {
        log_.ShowMessage("The name of client " + client->id +
                         " is longer than 99 characters; it is not shown");
    }
    log_.ShowMessage("Client " + client->id + " (" + client->code + ") " + client->name);
}

void HostMessages::ClientSelected(void* record) {
    auto* message = static_cast<ClientSelectedMessage*>(record);
    log_.ShowClientInUse(base::FieldText(message->ClientId), base::FieldText(message->ClientCode));
    message->Answer = 1;
}
