// Control ids of the "IPO Watch Details" popup.
#pragma once

#include "framework/resource.h"

constexpr int kDetailsIPOName = 1101;
constexpr int kDetailsIssueSize = 1102;
constexpr int kDetailsFaceValue = 1103;
constexpr int kDetailsBidStart = 1104;
constexpr int kDetailsBidEnd = 1105;
constexpr int kDetailsMinimumBidQty = 1106;
constexpr int kDetailsRating = 1107;
constexpr int kDetailsRegistrar = 1108;
constexpr int kDetailsProspectusLink = 1109;
constexpr int kDetailsBrokerRecommendation = 1110;

const fw::DialogTemplate& WatchDetailsLayout();
