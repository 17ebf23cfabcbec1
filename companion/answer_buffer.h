// An answer as it arrives, kept within the size cap. Room is taken as the answer announces or
// shows its size, never above the cap, with a little more after its end for the JSON decoder's
// padding, so that the answer is decoded in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvex {

class AnswerBuffer {
  public:
    // Fills `body`, which holds at most `cap` bytes.
    AnswerBuffer(std::string& body, size_t cap) : body_(body), cap_(cap) {}

    // An answer of `length` bytes is coming: false (too large) above the cap.
    bool Expect(uint64_t length);
    // Room for an answer of `length` bytes at once, never above the cap.
    void Reserve(uint64_t length);
    // Adds a piece of the answer; false (too large) when the answer outgrows the cap.
    bool Add(const char* data, size_t size);
    bool TooLarge() const { return tooLarge_; }

  private:
    std::string& body_;
    size_t cap_;
    bool tooLarge_ = false;
};

}  // namespace corvex
