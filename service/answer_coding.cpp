#include "service/answer_coding.h"

#include <zlib.h>
#include <zstd.h>

#include <climits>
#include <memory>

#include "base/text.h"

namespace svc {
namespace {

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// True when `acceptEncoding` lists `coding` (or "*") without refusing it by "q=0".
bool Accepts(std::string_view acceptEncoding, std::string_view coding) {
    bool accepted = false;
    while (!acceptEncoding.empty()) {
        const size_t comma = acceptEncoding.find(',');
        const std::string_view item = acceptEncoding.substr(0, comma);
        acceptEncoding.remove_prefix(comma == std::string_view::npos ? acceptEncoding.size()
                                                                     : comma + 1);
        const size_t semicolon = item.find(';');
        const std::string_view name = Trimmed(item.substr(0, semicolon));
        std::string_view weight =
            semicolon == std::string_view::npos ? "" : Trimmed(item.substr(semicolon + 1));
        const bool refused =
            (weight.substr(0, 2) == "q=" || weight.substr(0, 2) == "Q=") &&
            Trimmed(weight.substr(2)).find_first_not_of("0.") == std::string_view::npos;
        if (base::SameIgnoringCase(name, coding)) {
            return !refused;  // the coding named outright outweighs "*"
        }
        if (name == "*") {
            accepted = !refused;
        }
    }
    return accepted;
}

// The compressors write into room for the worst case that is never filled with zeros first:
// the pages past what they write are never touched.
// Level 1: fast on both sides (GB/s on the order book).
std::string Zstd(std::string_view body) {
    const size_t bound = ZSTD_compressBound(body.size());
    const auto room = std::make_unique_for_overwrite<char[]>(bound);
    const size_t size = ZSTD_compress(room.get(), bound, body.data(), body.size(), 1);
    return ZSTD_isError(size) ? std::string() : std::string(room.get(), size);
}

// Level 1, with the gzip header and trailer (window bits 15 + 16).
std::string Gzip(std::string_view body) {
    if (body.size() > UINT_MAX) {
        return {};
    }
    z_stream stream{};
    if (deflateInit2(&stream, 1, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        return {};
    }
    const uLong bound = deflateBound(&stream, body.size());
    const auto room = std::make_unique_for_overwrite<char[]>(bound);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(body.data()));
    stream.avail_in = static_cast<uInt>(body.size());
    stream.next_out = reinterpret_cast<Bytef*>(room.get());
    stream.avail_out = static_cast<uInt>(bound);
    const int result = deflate(&stream, Z_FINISH);
    deflateEnd(&stream);
    return result == Z_STREAM_END ? std::string(room.get(), stream.total_out) : std::string();
}

}  // namespace

std::string Encode(std::string_view acceptEncoding, std::string& body) {
    if (body.size() < kCompressFromBytes) {
        return {};
    }
    const bool zstd = Accepts(acceptEncoding, "zstd");
    if (!zstd && !Accepts(acceptEncoding, "gzip")) {
        return {};
    }
    std::string packed = zstd ? Zstd(body) : Gzip(body);
    if (packed.empty()) {
        return {};  // not compressed after all (out of memory): sent as it is
    }
    body = std::move(packed);
    return zstd ? "zstd" : "gzip";
}

}  // namespace svc
