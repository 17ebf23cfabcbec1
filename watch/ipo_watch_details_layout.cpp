#include "watch/ipo_watch_details_layout.h"

#include <array>

namespace {

using fw::ControlEntry;
using fw::ControlKind;

constexpr uint32_t kBox = fw::kStyleBorder | fw::kStyleAutoHScroll;

constexpr std::array<ControlEntry, 20> kDetailsControls{{
    {1201, ControlKind::Static, "IPO Name :", 12, 10, 37, 8, fw::kStyleNone},
    {kDetailsIPOName, ControlKind::Edit, "", 54, 7, 169, 14, kBox},
    {1202, ControlKind::Static, "Issue Size", 11, 28, 50, 8, fw::kStyleNone},
    {1203, ControlKind::Static, "Face Value", 70, 28, 50, 8, fw::kStyleNone},
    {1204, ControlKind::Static, "Bid Start Time", 125, 28, 55, 8, fw::kStyleNone},
    {1205, ControlKind::Static, "Bid End Time", 188, 28, 50, 8, fw::kStyleNone},
    {1206, ControlKind::Static, "Minium Bid Qty", 244, 28, 55, 8, fw::kStyleNone},
    {1207, ControlKind::Static, "CRA Rated", 304, 28, 50, 8, fw::kStyleNone},
    {kDetailsIssueSize, ControlKind::Edit, "", 10, 40, 49, 14, kBox},
    {kDetailsFaceValue, ControlKind::Edit, "", 65, 40, 52, 14, kBox},
    {kDetailsBidStart, ControlKind::Edit, "", 125, 40, 54, 14, kBox},
    {kDetailsBidEnd, ControlKind::Edit, "", 184, 40, 50, 14, kBox},
    {kDetailsMinimumBidQty, ControlKind::Edit, "", 242, 40, 55, 14, kBox},
    {kDetailsRating, ControlKind::Edit, "", 305, 40, 87, 14, kBox},
    {1208, ControlKind::Static, "Registrar", 9, 59, 50, 8, fw::kStyleNone},
    {1209, ControlKind::Static, "Prospectus Link", 96, 60, 60, 8, fw::kStyleNone},
    {1210, ControlKind::Static, "Broker Recommendation", 351, 59, 85, 8, fw::kStyleNone},
    {kDetailsRegistrar, ControlKind::Edit, "", 8, 70, 75, 14, kBox},
    {kDetailsProspectusLink, ControlKind::Edit, "", 93, 69, 247, 14, kBox | fw::kStyleMultiLine},
    {kDetailsBrokerRecommendation, ControlKind::Edit, "", 350, 68, 86, 14, kBox},
}};

constexpr fw::DialogTemplate kDetailsLayout{
    10514, fw::FormKind::PopupDialog, "IPO Watch Details", "Microsoft Sans Serif", 8, 445,
    90,    kDetailsControls};

}  // namespace

const fw::DialogTemplate& WatchDetailsLayout() {
    return kDetailsLayout;
}
