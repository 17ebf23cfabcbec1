#include "companion/answer_buffer.h"

#include <algorithm>

namespace corvex {
namespace {

// Above this, an answer's buffer takes room for the whole cap at once. A string that doubles its
// room would, near a large cap, hold the old room and the new one twice as large side by side
// (up to twice the cap); room taken once is filled page by page as the answer arrives.
constexpr size_t kWholeCapAbove = size_t{32} << 20;

// Room made beside an answer of announced size: enough for the JSON decoder's padding after its
// end, so that the answer is read in place.
constexpr size_t kAnswerRoom = 64;

}  // namespace

bool AnswerBuffer::Expect(uint64_t length) {
    tooLarge_ = length > cap_;
    return !tooLarge_;
}

void AnswerBuffer::Reserve(uint64_t length) {
    body_.reserve(std::min<uint64_t>(cap_, length + kAnswerRoom));
}

bool AnswerBuffer::Add(const char* data, size_t size) {
    tooLarge_ = body_.size() + size > cap_;
    if (tooLarge_) {
        return false;
    }
    const size_t needed = body_.size() + size;
    if (needed > body_.capacity()) {
        body_.reserve(needed > kWholeCapAbove
                          ? cap_
                          : std::min(cap_, std::max(needed, 2 * body_.capacity())));
    }
    body_.append(data, size);
    return true;
}

}  // namespace corvex
