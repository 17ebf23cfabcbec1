// The host's answers to the plug-in's messages: 65636 (a service failure text to show), 108
// (look a client up and write id, code and name back) and 121 (the client now in use).
#pragma once

#include <string>

#include "host/client_directory.h"

// Where the terminal shows what the plug-in tells it.
class TerminalLog {
  public:
    virtual ~TerminalLog() = default;
    virtual void ShowMessage(const std::string& text) = 0;  // message log and status line
    virtual void ShowClientInUse(const std::string& clientId, const std::string& clientCode) = 0;
};

class HostMessages {
  public:
    // `serviceAddress` names the service in what the log says when it is not reached.
    HostMessages(TerminalLog& log, ClientDirectory& clients, std::string serviceAddress = {})
        : log_(log), clients_(clients), serviceAddress_(std::move(serviceAddress)) {}

    void SetServiceAddress(std::string serviceAddress) {
        serviceAddress_ = std::move(serviceAddress);
    }
    // Answers one message record; the first 32 bits are its id. Unknown ids are logged.
    void Handle(void* record);

  private:
    void ServiceFailure(void* record);
    void LookupClient(void* record);
    void ClientSelected(void* record);

    TerminalLog& log_;
    ClientDirectory& clients_;
    std::string serviceAddress_;
};
