// The frame of an answer the service took, written around its records straight into the
// answer's text: result 0, accepted, no message, the keys in sorted order.
#pragma once

#include <string>

#include "base/json_writer.h"

namespace svc {

class AnswerWriter {
  public:
    explicit AnswerWriter(std::string& out) : json(out) {
        json.BeginObject().Member("accepted", true).Member("message", "");
        json.Key("records").BeginArray();
    }
    std::string& Finish(std::string& out) {
        json.EndArray().Member("result", int64_t{0}).EndObject();
        return out;
    }
    base::JsonWriter json;
};

}  // namespace svc
