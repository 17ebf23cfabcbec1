// Control ids and command ids of the "IPO WATCH" form.
#pragma once

#include "plugin/control_ids.h"

constexpr int kWatchModeGroup = 1001;
constexpr int kWatchCurrentButton = 1002;
constexpr int kWatchForthcomingButton = 1003;
constexpr int kWatchPastButton = 1004;
constexpr int kWatchFromLabel = 1005;
constexpr int kWatchFromDate = 1006;
constexpr int kWatchToLabel = 1007;
constexpr int kWatchToDate = 1008;
constexpr int kWatchApplyButton = 1009;

// Commands of the "IPOWatch" context menu, and the command that opens the bid dialog.
constexpr int kCmdWatchCopyToClipboard = 32804;
constexpr int kCmdWatchSizeToFit = 32810;
constexpr int kCmdWatchSizeToHeader = 32811;
constexpr int kCmdWatchGrid = 32814;
constexpr int kCmdWatchOpenBid = 32815;
