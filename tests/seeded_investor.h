// The plug-in's configuration for a seeded user (the investor INV001 unless named) against a
// real ipo-service: the real companion library beside the test programs and the service's URL
// of each request code, carrying the user's session.
#pragma once

#include <initializer_list>
#include <string>

#include "service_harness.h"
#include "tests/support/plugin_test_env.h"

struct SeededUser {
    uint16_t type;
    std::string id, loginClientId, loginClientCode;
};

inline const SeededUser kSeededInvestor{23, "INV001", "INV001", "I001"};
inline const SeededUser kSeededDealer{24, "DEALER01", "DEALER01", "D001"};

inline PluginTestConfig SeededUserConfig(const harness::ServiceProcess& service,
                                         const SeededUser& user,
                                         std::initializer_list<int16_t> codes = {91, 92, 93, 94, 95,
                                                                                 96}) {
    static constexpr const char* kPaths[] = {"/ipo/watchlist", "/ipo/details", "/ipo/orderbook",
                                             "/ipo/order",     "/ipo/cancel",  "/ipo/userdetails"};
    PluginTestConfig config;
    config.userType = user.type;
    config.userId = user.id;
    config.loginClientId = user.loginClientId;
    config.loginClientCode = user.loginClientCode;
    config.workingDirectory = harness::BinDir();
    config.urls.clear();
    for (int16_t code : codes) {
        config.urls[code] = service.Url(kPaths[code - 91], user.id);
    }
    return config;
}
