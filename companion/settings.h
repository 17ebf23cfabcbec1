// Limits of the companion's HTTP requests. Defaults, then a file "Corvexdll64.conf" beside the
// library (lines "connect_timeout_ms=...", "timeout_ms=..." and "answer_max_bytes=..."), then
// the environment variables CORVEX_CONNECT_TIMEOUT_MS, CORVEX_TIMEOUT_MS and
// CORVEX_ANSWER_MAX_BYTES, each overriding the one before.
#pragma once

#include <cstdint>

namespace corvex {

struct Timeouts {
    int connectMs = 3000;
    int readMs = 15000;  // the whole call: connect, send and the entire answer
    // The largest answer taken; an order book of 100,000 orders is about 86 MB.
    int64_t answerMaxBytes = int64_t{512} << 20;
};

Timeouts LoadTimeouts();

}  // namespace corvex
