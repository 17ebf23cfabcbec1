// One investor category of an issue, as the bid dialog keeps it: filled field for field from
// the companion's category record, the code in upper case.
#pragma once

#include <cstdint>
#include <string>

struct tagIPOCategoryWise {
    std::string Code;
    std::string DisplayName;
    double MinimumPrice = 0;
    double MaximumPrice = 0;
    std::string Text5;
    std::string Text6;
    int64_t Integer7 = 0;
    double Number8 = 0;
    double Number9 = 0;
    int32_t Integer10 = 0;
    double Number11 = 0;
    int32_t Integer12 = 0;
};
