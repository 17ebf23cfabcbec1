// Settings of the companion's HTTP requests. Defaults, then a file "Corvexdll64.conf" beside the
// library (lines "key=value": connect_timeout_ms, timeout_ms, answer_max_bytes, idle_ms,
// ca_file; "#" starts a comment), then the environment variables CORVEX_CONNECT_TIMEOUT_MS,
// CORVEX_TIMEOUT_MS, CORVEX_ANSWER_MAX_BYTES, CORVEX_IDLE_MS and CORVEX_CA_FILE, each
// overriding the one before.
#pragma once

#include <cstdint>
#include <string>

namespace corvex {

struct ChannelSettings {
    int connectMs = 3000;
    int readMs = 15000;  // the whole call: connect, send and the entire answer
    // The largest answer taken; an order book of 100,000 orders is about 86 MB.
    int64_t answerMaxBytes = int64_t{512} << 20;
    // A kept connection unused for this long is closed before the next call, below the
    // service's own idle limit (5 s), so that the service never closes it under a call.
    int idleMs = 4000;
    // The certificate authorities that https services are checked against (PEM); empty: the
    // system's.
    std::string caFile;
};

ChannelSettings LoadSettings();

}  // namespace corvex
