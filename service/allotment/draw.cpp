#include "service/allotment/draw.h"

#include <sodium.h>

#include <stdexcept>
#include <utility>

namespace allotment {

namespace {

constexpr unsigned char kNonce[crypto_stream_chacha20_ietf_NONCEBYTES] = {
    'L', 'i', 'b', 's', 'o', 'd', 'i', 'u', 'm', 'D', 'R', 'G'};
static_assert(sizeof(DrawKey) == crypto_stream_chacha20_ietf_KEYBYTES);
static_assert(sizeof(DrawKey) == randombytes_SEEDBYTES);

void StartSodium() {
    if (sodium_init() < 0) {
        throw std::runtime_error("libsodium could not be initialised");
    }
}

}  // namespace

DrawKey SeedKey(std::string_view seed) {
    StartSodium();
    DrawKey key;
    crypto_generichash(key.data(), key.size(), reinterpret_cast<const unsigned char*>(seed.data()),
                       seed.size(), nullptr, 0);
    return key;
}

DrawStream::DrawStream(const DrawKey& seedKey, std::string_view label) {
    StartSodium();
    crypto_generichash(key_.data(), key_.size(),
                       reinterpret_cast<const unsigned char*>(label.data()), label.size(),
                       seedKey.data(), seedKey.size());
}

uint64_t DrawStream::Next() {
    if (used_ + 8 > block_.size()) {
        block_.fill(0);
        crypto_stream_chacha20_ietf_xor_ic(block_.data(), block_.data(), block_.size(), kNonce,
                                           counter_, key_.data());
        counter_ += block_.size() / 64;
        used_ = 0;
    }
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i) {
        value = value << 8 | block_[used_ + i];
    }
    used_ += 8;
    return value;
}

uint64_t DrawStream::Below(uint64_t n) {
    const uint64_t rejectBelow = (0 - n) % n;  // 2^64 mod n
    uint64_t x = Next();
    while (x < rejectBelow) {
        x = Next();
    }
    return x % n;
}

void DrawToFront(DrawStream& stream, std::span<uint32_t> items, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        std::swap(items[i], items[i + stream.Below(items.size() - i)]);
    }
}

}  // namespace allotment
