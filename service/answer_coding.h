// Content codings of the service's answers: a client that lists zstd (or gzip) in its
// Accept-Encoding gets a large answer compressed, so that an order book crosses a real link in
// a fraction of its size; small answers, and answers to clients that do not ask, go as they are.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace svc {

// Answers shorter than this are sent as they are (a watch list of 50 issues is about 14 KiB):
// below it, compressing and unpacking cost about what they save on a 1 Gbit/s link, and on
// loopback they only add to the round trip.
inline constexpr size_t kCompressFromBytes = 64 * 1024;

// Compresses `body` in place for a client sending `acceptEncoding` when it is large enough, in
// zstd when the client takes it, else in gzip when it takes that (fast levels: answers are
// compressed on every request). Gives the coding used: "zstd", "gzip" or "" (sent as it is).
std::string Encode(std::string_view acceptEncoding, std::string& body);

}  // namespace svc
