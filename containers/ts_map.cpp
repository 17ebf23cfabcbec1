#include "containers/ts_map.h"

uint32_t HashMapKey(int32_t key) {
    const int64_t quotient = key / 127773;
    const int64_t remainder = key % 127773;
    int64_t value = 16807 * remainder - 2836 * quotient;
    if (value < 0) {
        value += 2147483647;
    }
    return static_cast<uint32_t>(value);
}

uint32_t HashMapKey(std::string_view key) {
    uint32_t hash = 0;
    for (const char c : key) {
        hash = (hash << 5) + hash + static_cast<unsigned char>(c);
    }
    return hash;
}
