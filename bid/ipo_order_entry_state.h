// What the bid dialog keeps besides the texts its fields show; shared by the dialog's loading
// and placing halves.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "bid/ipo_category_wise.h"
#include "bid/ipo_order_entry.h"
#include "ui/link_button.h"

enum class PaymentMode { UPI, ASBA };

struct BidRow {
    bool cutOff = false;
    std::string lotText;
    std::string priceText;
    std::string quantityValue;
    double amount = 0;
    std::string bidActionCode;  // "N" new bid, "M" modified bid, empty until set
    std::string bidReference;
};

struct CIPOOrderEntry::State {
    CLinkButton termsLink;  // outlives the form that draws through it
    std::unique_ptr<fw::Form> ownedForm;
    fw::Form* form = nullptr;

    std::string ipoName;
    std::string clientId;
    std::string clientCode;
    std::string issueTag;
    int32_t lotSize = 0;
    double minimumPrice = 0;
    double maximumPrice = 0;
    PaymentMode paymentMode = PaymentMode::UPI;
    std::string upiId;
    std::string bankName;
    std::string bankAccount;
    std::string categoryName;
    std::string categoryCode;
    std::map<std::string, tagIPOCategoryWise> categoryMap;  // by display name
    BidRow rows[3];
    std::string amountPayable;
    bool termsAccepted = false;
    std::string orderFlag = "N";
    int32_t orderNumber = 0;
    std::string applicationNumber;
    std::string userReference1;
    std::string userReference2;
    bool ready = false;
    bool lookupSuppressed = false;
};
