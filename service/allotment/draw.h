// The draw of lots: every choice an allotment makes by chance comes from a published seed through
// a deterministic cryptographic generator, so that anyone holding the seed and the applications
// can repeat it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace allotment {

using DrawKey = std::array<uint8_t, 32>;

// The allotment's key: BLAKE2b-256 (crypto_generichash, no key) of the seed text's bytes.
DrawKey SeedKey(std::string_view seed);

// The uniform numbers of one draw. Its key is BLAKE2b-256 of the draw's label keyed with the
// seed key; its bytes are the ChaCha20 (IETF) keystream under that key with the nonce
// "LibsodiumDRG" from block 0: the bytes randombytes_buf_deterministic gives for the same key.
class DrawStream {
  public:
    DrawStream(const DrawKey& seedKey, std::string_view label);

    // A uniform integer in [0, n) for n > 0: the next 8 bytes as a little-endian number x, drawn
    // again while x < 2^64 mod n, then x mod n.
    uint64_t Below(uint64_t n);

  private:
    uint64_t Next();

    DrawKey key_{};
    std::array<uint8_t, 4096> block_{};
    size_t used_ = block_.size();
    uint32_t counter_ = 0;  // the next ChaCha20 block
};

// Moves `count` items chosen by the stream to the front of `items`: for i from 0 while
// i < count, the item at i + Below(size - i) swaps with the item at i (Fisher–Yates).
void DrawToFront(DrawStream& stream, std::span<uint32_t> items, size_t count);

}  // namespace allotment
