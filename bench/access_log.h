// The service's access log as the benchmarks read it: for each answered request, in the order
// written, its request code, the order it touched and the stages the service measured.
#pragma once

#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"

struct LoggedRequest {
    std::string code;   // "91".."96", or what else was asked
    std::string order;  // the order placed, modified or cancelled; empty for none
    std::map<std::string, double> stagesMs;  // "session", "queued", "work", "commit"
    double totalMs = 0;                      // from its arrival until its answer was sent
};

// The value of "NAME=value" in an access line, or empty.
inline std::string LoggedField(const std::string& line, std::string_view name) {
    std::string key = " ";
    key.append(name).append("=");
    const size_t at = line.find(key);
    if (at == std::string::npos) {
        return {};
    }
    const size_t from = at + key.size();
    return line.substr(from, line.find(' ', from) - from);
}

inline std::vector<LoggedRequest> ReadAccessLog(const std::string& path) {
    std::vector<LoggedRequest> requests;
    std::ifstream log(path);
    std::string line;
    while (std::getline(log, line)) {
        if (line.find(" access ") == std::string::npos) {
            continue;
        }
        LoggedRequest& request = requests.emplace_back();
        request.code = LoggedField(line, "code");
        request.order = LoggedField(line, "order");
        request.totalMs = base::ToDouble(LoggedField(line, "ms"));
        for (const char* stage : {"session", "queued", "work", "commit"}) {
            const std::string value = LoggedField(line, std::string(stage) + "_ms");
            if (!value.empty()) {
                request.stagesMs[stage] = base::ToDouble(value);
            }
        }
    }
    return requests;
}
