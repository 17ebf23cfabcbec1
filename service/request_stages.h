// Where one request's time went inside the service, for the access log: the stages that can
// cost more than a few microseconds, each measured as it happens.
#pragma once

#include <chrono>

namespace svc {

// Milliseconds; 0 for a stage the request did not pass through.
struct RequestStages {
    double session = 0;  // finding the session of the request's token
    double queued = 0;   // a change waiting until a batch runs it
    double work = 0;    // the rules' reads and writes, writing the answer (the body is read before)
    double commit = 0;  // the durable commit of the change's batch
};

inline double MillisSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

}  // namespace svc
