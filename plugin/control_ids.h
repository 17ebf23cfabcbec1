// The ids of the plug-in's controls that its host may drive as a user does (the terminal's
// unattended screenshot session): the list of the watch and the order book, the order book's
// Apply, the bid dialog's boxes and buttons, the terms viewer's text. The plug-in's own
// layouts take these ids from here.
#pragma once

constexpr int kWatchList = 1010;
constexpr int kOrderBookList = 1010;
constexpr int kOrderBookApply = 1158;

// The "Bid Order-IPO" dialog.
constexpr int kBidUPIId = 1073;
constexpr int kBidTerms = 1058;
constexpr int kBidTermsLink = 1157;
constexpr int kBidPlaceBid = 1080;
constexpr int kBidCancel = 1082;
// Per bid row, rows 1 to 3 in that order.
constexpr int kBidCutOff[3] = {1037, 1039, 1041};
constexpr int kBidLot[3] = {1042, 1044, 1043};

// The "Terms & Conditions" viewer: one static text.
constexpr int kTermsText = 1163;
