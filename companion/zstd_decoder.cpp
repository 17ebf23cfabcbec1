#include "companion/zstd_decoder.h"

#include <zstd.h>

#include <cstdint>

namespace corvex {

ZstdDecoder::ZstdDecoder() : context_(ZSTD_createDCtx()), window_(ZSTD_DStreamOutSize()) {}

ZstdDecoder::~ZstdDecoder() {
    ZSTD_freeDCtx(context_);
}

size_t ZstdDecoder::DecodedSize(const char* data, size_t size) {
    const unsigned long long announced = ZSTD_getFrameContentSize(data, size);
    return announced == ZSTD_CONTENTSIZE_UNKNOWN || announced == ZSTD_CONTENTSIZE_ERROR ||
                   announced > SIZE_MAX / 2
               ? 0
               : static_cast<size_t>(announced);
}

bool ZstdDecoder::Add(const char* data, size_t size, const Receiver& receiver) {
    if (!context_) {
        error_ = "no memory to decode it";
        return false;
    }
    ZSTD_inBuffer in{data, size, 0};
    // Until the input is used up and the decoder holds nothing more to give.
    bool full = true;
    while (in.pos < in.size || full) {
        ZSTD_outBuffer out{window_.data(), window_.size(), 0};
        const size_t left = ZSTD_decompressStream(context_, &out, &in);
        if (ZSTD_isError(left)) {
            error_ = ZSTD_getErrorName(left);
            return false;
        }
        frameEnded_ = left == 0;
        if (out.pos > 0 && !receiver(window_.data(), out.pos)) {
            return false;
        }
        full = out.pos == out.size;
    }
    return true;
}

}  // namespace corvex
