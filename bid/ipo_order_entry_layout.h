// Control ids and layouts of the bid dialog and the terms viewer.
#pragma once

#include "framework/resource.h"

// The "Bid Order-IPO" dialog.
constexpr int kBidIPOName = 1025;
constexpr int kBidClientId = 1120;
constexpr int kBidCategory = 1028;
constexpr int kBidUPI = 1060;
constexpr int kBidASBA = 1059;
constexpr int kBidUPIId = 1073;
constexpr int kBidBankName = 1064;
constexpr int kBidBankAccount = 1069;
constexpr int kBidAmountPayable = 1078;
constexpr int kBidTerms = 1058;
constexpr int kBidTermsLink = 1157;
constexpr int kBidPlaceBid = 1080;
constexpr int kBidCancel = 1082;

// Per bid row, rows 1 to 3 in that order.
constexpr int kBidCutOff[3] = {1037, 1039, 1041};
constexpr int kBidLot[3] = {1042, 1044, 1043};
constexpr int kBidQuantity[3] = {1045, 1046, 1047};
constexpr int kBidPriceBand[3] = {1050, 1048, 1049};
constexpr int kBidPrice[3] = {1052, 1051, 1053};

// The "Terms & Conditions" viewer: one static text.
constexpr int kTermsText = 1163;

const fw::DialogTemplate& BidOrderEntryLayout();
const fw::DialogTemplate& TermsAndConditionLayout();
