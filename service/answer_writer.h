// The frame of an answer the service took, written around its records straight into the
// answer's text: result 0, accepted, no message, the keys in sorted order.
#pragma once

#include <span>
#include <string>
#include <string_view>

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

// The same frame for records that all have the same keys: the keys once, as `columns`, and each
// record as an array of its values in the columns' order, under `rows`. The keys are not repeated
// in every record, which halves the size of a list of short records.
class TableAnswerWriter {
  public:
    TableAnswerWriter(std::string& out, std::span<const std::string_view> columns) : json(out) {
        json.BeginObject().Member("accepted", true).Key("columns").BeginArray();
        for (const std::string_view column : columns) {
            json.String(column);
        }
        json.EndArray().Member("message", "").Member("result", int64_t{0});
        json.Key("rows").BeginArray();
    }
    std::string& Finish(std::string& out) {
        json.EndArray().EndObject();
        return out;
    }
    base::JsonWriter json;
};

}  // namespace svc
