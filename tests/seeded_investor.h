// The plug-in's configuration for the seeded investor INV001 against a real ipo-service: the
// real companion library beside the test programs and the service's URL of each request code.
#pragma once

#include <initializer_list>

#include "service_harness.h"
#include "tests/support/plugin_test_env.h"

inline PluginTestConfig SeededInvestorConfig(const harness::ServiceProcess& service,
                                             std::initializer_list<int16_t> codes = {91, 92, 93, 94,
                                                                                     95, 96}) {
    static constexpr const char* kPaths[] = {"/ipo/watchlist", "/ipo/details", "/ipo/orderbook",
                                             "/ipo/order",     "/ipo/cancel",  "/ipo/userdetails"};
    PluginTestConfig config;
    config.userType = 23;
    config.userId = "INV001";
    config.loginClientId = "INV001";
    config.loginClientCode = "I001";
    config.workingDirectory = harness::BinDir();
    config.urls.clear();
    for (int16_t code : codes) {
        config.urls[code] = service.Url(kPaths[code - 91]);
    }
    return config;
}
