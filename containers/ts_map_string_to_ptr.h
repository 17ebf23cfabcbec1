// A text-keyed map of untyped pointers of the plug-in's map family.
#pragma once

#include <string>
#include <string_view>

#include "containers/ts_map.h"

class CTSMapStringToPtr {
  public:
    void*& operator[](std::string_view key) { return map_[key]; }
    bool Lookup(std::string_view key, void*& value) const { return map_.Lookup(key, value); }
    MapPosition GetStartPosition() const { return map_.GetStartPosition(); }
    void GetNextAssoc(MapPosition& position, std::string& key, void*& value) const {
        map_.GetNextAssoc(position, key, value);
    }
    size_t GetCount() const { return map_.GetCount(); }

  private:
    CTSMap<std::string, std::string_view, void*, void*> map_;
};
