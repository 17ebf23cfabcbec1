// The service path of each request code, 91 to 96: the one table that the service and the host
// (which builds the URL table) share. docs/protocol.md describes each request.
#pragma once

#include <string_view>

namespace base {

struct RequestPath {
    int code;
    const char* path;
};

inline constexpr RequestPath kRequestPaths[] = {
    {91, "/ipo/watchlist"}, {92, "/ipo/details"}, {93, "/ipo/orderbook"},
    {94, "/ipo/order"},     {95, "/ipo/cancel"},  {96, "/ipo/userdetails"},
};

// The path of request `code`, or null for a code without one.
constexpr const char* PathOfRequest(int code) {
    for (const RequestPath& request : kRequestPaths) {
        if (request.code == code) {
            return request.path;
        }
    }
    return nullptr;
}

}  // namespace base
