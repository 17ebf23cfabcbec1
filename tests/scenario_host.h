// What a scenario runs in: a host of the plug-in on one backend (the headless one, or the wx or
// Win32 one inside the desktop terminal), signed in at a real ipo-service as a seeded user, with
// the real companion library unless it is to be missing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/user_actions.h"
#include "seeded_investor.h"
#include "service_harness.h"

class ScenarioHost {
  public:
    virtual ~ScenarioHost() = default;
    virtual fw::UserActions& ui() = 0;
    // Opens the window of an IPO menu command, as the trader's menu does (on the UI thread).
    virtual void Open(uint32_t menuId) = 0;
    // The lines of the host's message log so far (on the UI thread).
    virtual std::vector<std::string> Log() = 0;
};

std::unique_ptr<ScenarioHost> StartScenarioHost(harness::ServiceProcess& service,
                                                const SeededUser& user, bool withCompanion);
