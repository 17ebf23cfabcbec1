// Timeouts of the companion's HTTP requests. Defaults, then a file "Corvexdll64.conf" beside
// the library (lines "connect_timeout_ms=..." and "timeout_ms=..."), then the environment
// variables CORVEX_CONNECT_TIMEOUT_MS and CORVEX_TIMEOUT_MS, each overriding the one before.
#pragma once

namespace corvex {

struct Timeouts {
    int connectMs = 3000;
    int readMs = 15000;  // also the write timeout
};

Timeouts LoadTimeouts();

}  // namespace corvex
