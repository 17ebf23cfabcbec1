// A zstd-compressed answer decoded as its bytes arrive, a window at a time: the decoded bytes go
// straight to a receiver, which can stop the decoding (at the answer cap), so that a small
// compressed answer that would unpack to gigabytes never takes more memory than the cap.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

typedef struct ZSTD_DCtx_s ZSTD_DCtx;

namespace corvex {

class ZstdDecoder {
  public:
    // Takes decoded bytes; false stops the decoding.
    using Receiver = std::function<bool(const char* data, size_t size)>;

    ZstdDecoder();
    ~ZstdDecoder();
    ZstdDecoder(const ZstdDecoder&) = delete;
    ZstdDecoder& operator=(const ZstdDecoder&) = delete;

    // Decodes `size` more compressed bytes into `receiver`. False when the receiver stopped or
    // the bytes are not zstd (then Error() says why).
    bool Add(const char* data, size_t size, const Receiver& receiver);
    // The decoded size the frame starting `data` announces; 0 when it announces none.
    static size_t DecodedSize(const char* data, size_t size);
    // True when the compressed bytes so far end with a whole frame.
    bool Complete() const { return frameEnded_; }
    const std::string& Error() const { return error_; }

  private:
    ZSTD_DCtx* context_;
    std::vector<char> window_;
    bool frameEnded_ = false;
    std::string error_;
};

}  // namespace corvex
