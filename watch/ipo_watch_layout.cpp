#include "watch/ipo_watch_layout.h"

#include <array>

#include "plugin/host_abi.h"
#include "plugin/runtime_classes.h"

namespace {

using fw::ControlEntry;
using fw::ControlKind;

constexpr std::array<ControlEntry, 10> kWatchControls{{
    {kWatchModeGroup, ControlKind::GroupBox, "", 4, 5, 250, 20, fw::kStyleNone},
    {kWatchCurrentButton, ControlKind::RadioButton, "Current IPO", 6, 9, 65, 14,
     fw::kStyleGroup | fw::kStyleTabStop},
    {kWatchForthcomingButton, ControlKind::RadioButton, "ForthComing IPO", 85, 9, 72, 14,
     fw::kStyleNone},
    {kWatchPastButton, ControlKind::RadioButton, "Past/Closed IPO", 184, 9, 65, 14, fw::kStyleNone},
    {kWatchFromLabel, ControlKind::Static, "From Date", 262, 1, 38, 8, fw::kStyleCentered},
    {kWatchFromDate, ControlKind::DatePicker, "", 256, 10, 59, 13,
     fw::kStyleShortDate | fw::kStyleCalendarRight | fw::kStyleTabStop},
    {kWatchToLabel, ControlKind::Static, "To Date", 330, 1, 29, 8, fw::kStyleCentered},
    {kWatchToDate, ControlKind::DatePicker, "", 320, 10, 58, 13,
     fw::kStyleShortDate | fw::kStyleCalendarRight | fw::kStyleTabStop},
    {kWatchApplyButton, ControlKind::Button, "Apply", 384, 9, 56, 14, fw::kStyleTabStop},
    {kWatchList, ControlKind::ListView, "", 0, 33, 441, 86,
     fw::kStyleReport | fw::kStyleBorder | fw::kStyleTabStop},
}};

constexpr fw::DialogTemplate kWatchLayout{static_cast<int>(kFormIPOWatch),
                                          fw::FormKind::ChildForm,
                                          "IPO WATCH",
                                          "MS Shell Dlg",
                                          8,
                                          442,
                                          90,
                                          kWatchControls};

}  // namespace

const fw::DialogTemplate& WatchFormLayout() {
    return kWatchLayout;
}
