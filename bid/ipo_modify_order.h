// One placed order carried from the order book into the bid dialog for modification.
#pragma once

#include <string>

struct tagIPOModifyOrder {
    std::string IssueKey;          // 1
    std::string ClientId;          // 2
    std::string ClientCode;        // 3
    std::string CategoryCode;      // 4
    std::string UserReference1;    // 5
    std::string UserReference2;    // 6
    std::string Slot7;             // 7, not used by the dialog
    std::string PaymentMode;       // 8: "UPI" or "ASBA"
    std::string UPIId;             // 9
    std::string BankName;          // 10
    std::string BankAccount;       // 11
    std::string CutOff[3];         // 12-14: "1" means cut-off
    std::string LotSize;           // 15
    std::string Lots[3];           // 16-18
    std::string Quantities[3];     // 19-21
    std::string Prices[3];         // 22-24
    std::string BidReferences[3];  // 25-27
    std::string AmountPayable;     // 28
    std::string OrderNumber;       // 29
    std::string IssueTag;          // 30
    double MinimumPrice = 0;       // 31
    double MaximumPrice = 0;       // 32
    std::string Slot33;            // 33-35, not used by the dialog
    std::string Slot34;
    std::string Slot35;
    std::string ApplicationNumber;  // 36
};
