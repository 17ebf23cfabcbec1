// Control ids and layouts of the bid dialog and the terms viewer.
#pragma once

#include "framework/resource.h"
#include "plugin/control_ids.h"

// The "Bid Order-IPO" dialog.
constexpr int kBidIPOName = 1025;
constexpr int kBidClientId = 1120;
constexpr int kBidCategory = 1028;
constexpr int kBidUPI = 1060;
constexpr int kBidASBA = 1059;
constexpr int kBidBankName = 1064;
constexpr int kBidBankAccount = 1069;
constexpr int kBidAmountPayable = 1078;

// Per bid row, rows 1 to 3 in that order.
constexpr int kBidQuantity[3] = {1045, 1046, 1047};
constexpr int kBidPriceBand[3] = {1050, 1048, 1049};
constexpr int kBidPrice[3] = {1052, 1051, 1053};

const fw::DialogTemplate& BidOrderEntryLayout();
const fw::DialogTemplate& TermsAndConditionLayout();
