// What the desktop terminals hosting the scenarios (wx and Win32) share.
#pragma once

#include <string>

#include "host/terminal_settings.h"
#include "seeded_investor.h"
#include "service_harness.h"

// The settings for signing in at the service as the seeded user, with a working folder of the
// scenario's own (so that no companion from another scenario lies there).
TerminalSettings ScenarioTerminalSettings(const harness::ServiceProcess& service,
                                          const SeededUser& user);
// The terminal's program folder: the build's bin folder, or without the companion a folder in
// the service's that holds everything else of it.
std::string ScenarioProgramFolder(const harness::ServiceProcess& service, bool withCompanion);
