// The control interface of the scriptable test companion: a test scripts the answers of the
// next requests and reads back everything the plug-in asked of the companion.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bridge/companion_abi.h"

// One record handed to the plug-in's data callback; type 0 stands for the request's own code.
struct CompanionDelivery {
    void* record = nullptr;
    uint16_t type = 0;
};

// What the companion answers to one request. Records are delivered during the getter.
struct CompanionAnswer {
    int16_t resultCode = 0;
    uint8_t accepted = 1;
    std::string message;  // at most 4,096 characters reach the request's field
    std::vector<CompanionDelivery> records;
};

class TestCompanionControl {
  public:
    // Forgets every scripted answer and every recorded call and request.
    virtual void Reset() = 0;
    // Queues the answer to the next request with this code; unscripted requests succeed with
    // no records.
    virtual void Script(uint16_t requestCode, const CompanionAnswer& answer) = 0;

    // Every request received by ProcessCall, as the plug-in filled it.
    virtual const std::vector<IPOServiceRequest>& Requests() const = 0;
    // Entry points called, in order: "InitializeCorvexDll", "ProcessCall", "CleanUp", ...
    virtual const std::vector<std::string>& Calls() const = 0;
    // The list kinds passed to GetIPOWatchListInfo.
    virtual const std::vector<int32_t>& WatchListKinds() const = 0;

  protected:
    ~TestCompanionControl() = default;
};

// The name of the extra export through which a test reaches the control.
constexpr const char* kTestCompanionControlExport = "GetTestCompanionControl";
extern "C" {
typedef TestCompanionControl* (*TestCompanionControlFn)(void);
}
