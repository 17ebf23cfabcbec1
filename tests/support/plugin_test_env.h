// The plug-in's surroundings for a test: the headless backend, a login configuration with
// service URLs for requests 91 to 96, the service bridge bound to the test companion, and a
// host callback that records every message (and answers client look-ups as scripted). Every
// piece is undone when the environment goes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/text.h"
#include "bridge/ipo_service_bridge.h"
#include "containers/ts_map.h"
#include "framework/headless/headless_backend.h"
#include "plugin/host_abi.h"
#include "tests/support/test_companion_control.h"

// The texts of fixed record fields, joined by "|".
template <class... Field>
std::string Fields(const Field&... fields) {
    std::string joined;
    int count = 0;
    ((joined += (count++ ? "|" : "") + base::FieldText(fields)), ...);
    return joined;
}

// The folder holding the test companion library.
std::string TestCompanionDirectory();
// The folder holding a companion library that lacks its ProcessCall entry point.
std::string PartialCompanionDirectory();

// URLs "http://ipo.test/<code>" for the codes 91 to 96.
std::map<int16_t, std::string> DefaultServiceURLs();

struct PluginTestConfig {
    uint16_t userType = 23;
    std::string userId = "TRADER01";
    std::string loginClientId = "LC1001";
    std::string loginClientCode = "LCODE1";
    std::string workingDirectory = TestCompanionDirectory();
    std::map<int16_t, std::string> urls = DefaultServiceURLs();
};

// A host configuration record with everything it points to (texts and a real URL map).
class TestHostConfiguration {
  public:
    explicit TestHostConfiguration(const PluginTestConfig& config);
    TestHostConfiguration(const TestHostConfiguration&) = delete;
    TestHostConfiguration& operator=(const TestHostConfiguration&) = delete;

    const IPOGlobalConfiguration* get() const { return &record_; }

  private:
    PluginTestConfig config_;
    std::vector<std::unique_ptr<HostURLRecord>> urlRecords_;
    std::unique_ptr<HostURLMap> urls_;
    IPOGlobalConfiguration record_{};
};

// The control of the test companion (the same instance the plug-in binds to).
TestCompanionControl& TestCompanion();

class PluginTestEnv {
  public:
    explicit PluginTestEnv(const PluginTestConfig& config = {});
    ~PluginTestEnv();
    PluginTestEnv(const PluginTestEnv&) = delete;
    PluginTestEnv& operator=(const PluginTestEnv&) = delete;

    // Applies another configuration as the host would (URLs are added or replaced).
    void Configure(const PluginTestConfig& config);
    // Destroys the bridge and binds a new one from the current working directory.
    void RestartBridge();

    fw::headless::HeadlessBackend& backend() { return backend_; }
    TestCompanionControl& companion() { return *companion_; }
    IPOServiceBridge* bridge() { return GetServiceBridge(); }

    // Scripts a successful answer to the next request of `code` that delivers `records`.
    void Answer(uint16_t code, const std::vector<void*>& records);
    // The texts of the service failures sent to the host (message 65636).
    std::vector<std::string> ServiceFailureTexts() const;

    // --- what the recording host saw and answers ---
    std::vector<uint32_t> hostMessageIds;                 // in the order sent
    std::vector<ServiceFailureMessage> serviceFailures;   // 65636
    std::vector<ClientLookupMessage> clientLookups;       // 108, as sent
    std::vector<ClientSelectedMessage> clientSelections;  // 121, as sent
    std::function<void(ClientLookupMessage&)> answerClientLookup;
    std::function<void(ClientSelectedMessage&)> answerClientSelected;
    std::function<void(ServiceFailureMessage&)> answerServiceFailure;

  private:
    static int OnHostMessage(void* record);

    fw::headless::HeadlessBackend backend_;
    TestCompanionControl* companion_ = nullptr;
};

// A fixture whose tests start in a fresh PluginTestEnv.
class PluginTest : public ::testing::Test {
  protected:
    PluginTestEnv env;
};
