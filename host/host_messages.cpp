#include "host/host_messages.h"

#include <cstring>

#include "framework/text.h"
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
                fw::Format("The plug-in sent message %u, which the terminal does not know", id));
            break;
    }
}

void HostMessages::ServiceFailure(void* record) {
    const auto* message = static_cast<const ServiceFailureMessage*>(record);
    log_.ShowMessage(fw::FieldText(message->Text));
}

void HostMessages::LookupClient(void* record) {
    auto* message = static_cast<ClientLookupMessage*>(record);
    const std::string typed = fw::FieldText(message->ClientIdTyped);
    std::string error;
    const std::optional<ClientRecord> client = clients_.Lookup(typed, error);
    if (!client) {
        log_.ShowMessage(error);
        return;
    }
    // A field that cannot hold the service's text stays empty: a cut id or code would name
    // another client.
    const bool fits = fw::CopyField(message->ClientId, client->id) &&
                      fw::CopyField(message->ClientCode, client->code);
    if (!fits) {
        std::memset(message->ClientId, 0, sizeof message->ClientId);
        std::memset(message->ClientCode, 0, sizeof message->ClientCode);
        log_.ShowMessage("Client " + typed +
                         " has an id or code longer than 29 characters; it cannot be used");
        return;
    }
    if (!fw::CopyField(message->ClientName, client->name)) {
        log_.ShowMessage("The name of client " + client->id +
                         " is longer than 99 characters; it is not shown");
    }
    log_.ShowMessage("Client " + client->id + " (" + client->code + ") " + client->name);
}

void HostMessages::ClientSelected(void* record) {
    auto* message = static_cast<ClientSelectedMessage*>(record);
    log_.ShowClientInUse(fw::FieldText(message->ClientId), fw::FieldText(message->ClientCode));
    message->Answer = 1;
}
