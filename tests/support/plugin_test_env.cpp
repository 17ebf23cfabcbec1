#include "tests/support/plugin_test_env.h"

#include <cstring>
#include <memory>
#include <stdexcept>

#include "base/platform.h"
#include "base/text.h"
#include "containers/ts_map.h"
#include "framework/shared_library.h"
#include "plugin/host_callbacks.h"
#include "plugin/login_context.h"

namespace {

PluginTestEnv* g_env = nullptr;

TestCompanionControl* LoadCompanionControl() {
    static fw::SharedLibrary library;
    if (!library.IsLoaded()) {
        const std::string path =
            TestCompanionDirectory() + base::kPathSeparator + "Corvexdll64" + base::kLibrarySuffix;
        if (!library.Load(path)) {
            throw std::runtime_error("test companion not found: " + path);
        }
    }
    auto get = library.ResolveAs<TestCompanionControlFn>(kTestCompanionControlExport);
    if (!get) {
        throw std::runtime_error("test companion has no control export");
    }
    return get();
}

}  // namespace

// Both companions sit in folders of their own beside the test programs.
std::string TestCompanionDirectory() {
    return fw::ProgramFolder() + base::kPathSeparator + "testcompanion";
}
std::string PartialCompanionDirectory() {
    return fw::ProgramFolder() + base::kPathSeparator + "testcompanion-partial";
}

std::map<int16_t, std::string> DefaultServiceURLs() {
    std::map<int16_t, std::string> urls;
    for (int16_t code = kRequestWatchList; code <= kRequestUserDetails; ++code) {
        urls[code] = base::Format("http://ipo.test/%d", code);
    }
    return urls;
}

PluginTestEnv::PluginTestEnv(const PluginTestConfig& config) {
    companion_ = &TestCompanion();
    g_env = this;
    Configure(config);
    InitializeServiceBridge();
    companion_->Reset();
    SetHostCallback(&OnHostMessage);
}

PluginTestEnv::~PluginTestEnv() {
    DestroyServiceBridge();
    ClearURLTable();
    ClearResultList();
    Login() = LoginContext{};
    SetHostCallback(nullptr);
    companion_->Reset();
    g_env = nullptr;
}

TestHostConfiguration::TestHostConfiguration(const PluginTestConfig& config)
    : config_(config), urls_(std::make_unique<HostURLMap>()) {
    for (const auto& [code, url] : config_.urls) {
        urlRecords_.push_back(std::make_unique<HostURLRecord>(HostURLRecord{url.c_str()}));
        (*urls_)[code] = urlRecords_.back().get();
    }
    record_.UserType = config_.userType;
    record_.UserId = config_.userId.c_str();
    record_.LoginClientId = config_.loginClientId.c_str();
    record_.LoginClientCode = config_.loginClientCode.c_str();
    record_.WorkingDirectory = config_.workingDirectory.c_str();
    record_.URLMap = urls_.get();
}

TestCompanionControl& TestCompanion() {
    return *LoadCompanionControl();
}

void PluginTestEnv::Configure(const PluginTestConfig& config) {
    const TestHostConfiguration configuration(config);
    ApplyGlobalConfiguration(configuration.get());
}

void PluginTestEnv::RestartBridge() {
    DestroyServiceBridge();
    InitializeServiceBridge();
}

void PluginTestEnv::Answer(uint16_t code, const std::vector<void*>& records) {
    CompanionAnswer answer;
    for (void* record : records) {
        answer.records.push_back({record, 0});
    }
    companion_->Script(code, answer);
}

std::vector<std::string> PluginTestEnv::ServiceFailureTexts() const {
    std::vector<std::string> texts;
    for (const ServiceFailureMessage& message : serviceFailures) {
        texts.push_back(base::FieldText(message.Text));
    }
    return texts;
}

int PluginTestEnv::OnHostMessage(void* record) {
    uint32_t id = 0;
    std::memcpy(&id, record, sizeof id);
    g_env->hostMessageIds.push_back(id);
    if (id == kServiceFailureMessageId) {
        auto* message = static_cast<ServiceFailureMessage*>(record);
        g_env->serviceFailures.push_back(*message);
        if (g_env->answerServiceFailure) {
            g_env->answerServiceFailure(*message);
        }
    } else if (id == kClientLookupMessageId) {
        auto* message = static_cast<ClientLookupMessage*>(record);
        g_env->clientLookups.push_back(*message);
        if (g_env->answerClientLookup) {
            g_env->answerClientLookup(*message);
        }
    } else if (id == kClientSelectedMessageId) {
        auto* message = static_cast<ClientSelectedMessage*>(record);
        g_env->clientSelections.push_back(*message);
        if (g_env->answerClientSelected) {
            g_env->answerClientSelected(*message);
        }
    }
    return 0;
}
