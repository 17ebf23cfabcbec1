// The two system colours the window kit paints with, fixed here once for every backend.
#pragma once

#include "framework/form.h"

namespace ui {

constexpr fw::Colour kButtonFace{240, 240, 240};
constexpr fw::Colour kButtonShadow{160, 160, 160};

}  // namespace ui
