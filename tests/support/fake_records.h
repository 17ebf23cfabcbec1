// Answer records as a test builds them: every field a public member, texts nullable so that a
// getter can hand out null, lists built with FakePtrList.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "bridge/companion_abi.h"

// A nullable text: std::nullopt makes the getter return null.
using FakeText = std::optional<std::string>;

inline const char* TextOf(const FakeText& text) {
    return text ? text->c_str() : nullptr;
}

// A field a test sets, with the getter that hands it out (texts start empty).
// clang-format off
#define FAKE_TEXT(Getter, field) \
    const char* Getter() override { return TextOf(field); } \
    FakeText field = std::string()
#define FAKE_VALUE(Type, Getter, field, initial) \
    Type Getter() override { return field; } \
    Type field = initial
// clang-format on

// Owns the nodes of one pointer list in the companion's layout.
class FakePtrList {
  public:
    FakePtrList() = default;
    FakePtrList(const FakePtrList&) = delete;
    FakePtrList& operator=(const FakePtrList&) = delete;

    void Add(void* element) {
        PtrListNode& node = nodes_.emplace_back(PtrListNode{nullptr, list_.Tail, element});
        if (list_.Tail) {
            list_.Tail->Next = &node;
        } else {
            list_.Head = &node;
        }
        list_.Tail = &node;
        ++list_.Count;
    }
    PtrList* get() { return &list_; }

  private:
    PtrList list_{};
    std::deque<PtrListNode> nodes_;
};

class FakeIPOWatchEntry final : public IPOWatchEntry {
  public:
    void Reserved0() override {}
    FAKE_TEXT(IssueKey, issueKey);
    FAKE_TEXT(IPOName, ipoName);
    const char* Reserved3() override { return ""; }
    FAKE_VALUE(double, PriceLow, priceLow, 0);
    FAKE_VALUE(double, PriceHigh, priceHigh, 0);
    FAKE_TEXT(BidStartDate, bidStartDate);
    FAKE_TEXT(BidEndDate, bidEndDate);
    FAKE_VALUE(int64_t, IssueSize, issueSize, 0);
    FAKE_VALUE(double, FaceValue, faceValue, 0);
    FAKE_VALUE(int32_t, MinimumOrderQuantity, minimumOrderQuantity, 0);
    FAKE_VALUE(int32_t, LotSize, lotSize, 0);
    FAKE_TEXT(IssueType, issueType);
};

class FakeCategoryRecord final : public CategoryRecord {
  public:
    void Reserved0() override {}
    FAKE_TEXT(Code, code);
    FAKE_TEXT(DisplayName, displayName);
    FAKE_VALUE(double, MinimumPrice, minimumPrice, 0);
    FAKE_VALUE(double, MaximumPrice, maximumPrice, 0);
    const char* Text5() override { return ""; }
    const char* Text6() override { return ""; }
    int64_t Integer7() override { return 0; }
    double Number8() override { return 0; }
    double Number9() override { return 0; }
    int32_t Integer10() override { return 0; }
    double Number11() override { return 0; }
    int32_t Integer12() override { return 0; }
};

class FakeIPODetailsEntry final : public IPODetailsEntry {
  public:
    FakePtrList categories;  // of CategoryRecord*
    bool nullCategories = false;

    void Reserved0() override {}
    FAKE_TEXT(IssueIdentifier, issueIdentifier);
    FAKE_TEXT(IPOName, ipoName);
    const char* Reserved3() override { return ""; }
    FAKE_TEXT(IssueTag, issueTag);
    FAKE_VALUE(double, PriceLow, priceLow, 0);
    FAKE_VALUE(double, PriceHigh, priceHigh, 0);
    const char* Reserved7() override { return ""; }
    const char* Reserved8() override { return ""; }
    FAKE_VALUE(int64_t, IssueSize, issueSize, 0);
    FAKE_VALUE(double, FaceValue, faceValue, 0);
    FAKE_VALUE(int32_t, MinimumBidQuantity, minimumBidQuantity, 0);
    FAKE_VALUE(int32_t, LotSize, lotSize, 0);
    const char* Reserved13() override { return ""; }
    FAKE_TEXT(BidStartTime, bidStartTime);
    FAKE_TEXT(BidEndTime, bidEndTime);
    FAKE_TEXT(Registrar, registrar);
    const char* Reserved17() override { return ""; }
    FAKE_TEXT(Rating, rating);
    FAKE_TEXT(ProspectusLink, prospectusLink);
    const char* Reserved20() override { return ""; }
    FAKE_TEXT(BrokerRecommendation, brokerRecommendation);
    const char* Reserved22() override { return ""; }
    PtrList* Categories() override { return nullCategories ? nullptr : categories.get(); }
};

class FakeBankAccountRecord final : public BankAccountRecord {
  public:
    void Reserved0() override {}
    const char* Text1() override { return ""; }
    FAKE_TEXT(BankName, bankName);
    const char* Text3() override { return ""; }
    const char* Text4() override { return ""; }
    FAKE_TEXT(AccountNumber, accountNumber);
    const char* Text6() override { return ""; }
    const char* Text7() override { return ""; }
    const char* Text8() override { return ""; }
    const char* Text9() override { return ""; }
    uint8_t Flag10() override { return 0; }
    FAKE_VALUE(uint8_t, AsbaAllowed, asbaAllowed, 1);
    uint8_t Flag12() override { return 0; }
};

class FakeUserReferenceRecord final : public UserReferenceRecord {
  public:
    void Reserved0() override {}
    FAKE_TEXT(Reference1, reference1);
    const char* Reserved2() override { return ""; }
    FAKE_TEXT(Reference2, reference2);
};

class FakeUserDetailsRecord final : public UserDetailsRecord {
  public:
    FakePtrList bankAccounts;  // of BankAccountRecord*
    FakePtrList references;    // of UserReferenceRecord*

    void Reserved0() override {}
    const char* Text1() override { return ""; }
    PtrList* BankAccounts() override { return bankAccounts.get(); }
    PtrList* References() override { return references.get(); }
};

class FakeOrderResponseDetail final : public OrderResponseDetail {
  public:
    void Reserved0() override {}
    FAKE_VALUE(uint8_t, Status, status, 1);
    const char* Reserved2() override { return ""; }
    const char* Reserved3() override { return ""; }
    const char* Reserved4() override { return ""; }
    const char* Reserved5() override { return ""; }
    const char* Reserved6() override { return ""; }
    FAKE_TEXT(Text, text);
};

class FakeOrderResponseRecord final : public OrderResponseRecord {
  public:
    FakePtrList details;  // of OrderResponseDetail*

    void Reserved0() override {}
    FAKE_VALUE(uint8_t, Status, status, 1);
    FAKE_TEXT(Message, message);
    const char* Reserved3() override { return ""; }
    const char* Reserved4() override { return ""; }
    const char* Reserved5() override { return ""; }
    const char* Reserved6() override { return ""; }
    const char* Reserved7() override { return ""; }
    PtrList* Details() override { return details.get(); }
};

class FakeIPOOrderBid final : public IPOOrderBid {
  public:
    void Reserved0() override {}
    const char* Reserved1() override { return ""; }
    FAKE_TEXT(BidReference, bidReference);
    const char* Reserved3() override { return ""; }
    FAKE_VALUE(int32_t, Quantity, quantity, 0);
    FAKE_VALUE(int16_t, CutOff, cutOff, 0);
    FAKE_VALUE(double, Price, price, 0);  // hundredths
    FAKE_VALUE(int32_t, FurtherNumber, furtherNumber, 0);
    FAKE_VALUE(double, AmountPayable, amountPayable, 0);  // hundredths
    FAKE_VALUE(int32_t, Position, position, 0);
};

class FakeIPOOrderBookEntry final : public IPOOrderBookEntry {
  public:
    FakePtrList bids;  // of IPOOrderBid*
    bool nullBids = false;

    void Reserved0() override {}
    FAKE_TEXT(IssueKey, issueKey);
    FAKE_TEXT(OfferName, offerName);
    FAKE_TEXT(OfferType, offerType);
    FAKE_TEXT(CategoryCode, categoryCode);
    FAKE_VALUE(int32_t, OrderNumber, orderNumber, 0);
    FAKE_TEXT(ApplicationNumber, applicationNumber);
    FAKE_TEXT(FurtherText, furtherText);
    FAKE_TEXT(StatusCode, statusCode);
    FAKE_TEXT(BidDate, bidDate);
    FAKE_TEXT(UserReference1, userReference1);
    FAKE_TEXT(UserReference2, userReference2);
    FAKE_TEXT(PaymentMode, paymentMode);
    FAKE_TEXT(UPIId, upiId);
    FAKE_TEXT(BankName, bankName);
    FAKE_TEXT(BankAccount, bankAccount);
    FAKE_TEXT(LastModified, lastModified);
    FAKE_TEXT(RejectionReason, rejectionReason);
    FAKE_VALUE(int32_t, AllocatedQuantity, allocatedQuantity, 0);
    const char* Reserved19() override { return ""; }
    FAKE_VALUE(double, RefundAmount, refundAmount, 0);  // currency units
    FAKE_TEXT(PaymentStatusCode, paymentStatusCode);
    FAKE_VALUE(double, TotalAmountPayable, totalAmountPayable, 0);  // hundredths
    FAKE_VALUE(int32_t, LotSize, lotSize, 0);
    const char* Reserved24() override { return ""; }
    PtrList* Bids() override { return nullBids ? nullptr : bids.get(); }
    FAKE_TEXT(ClientName, clientName);
};

class FakeIPOCancelResponse final : public IPOCancelResponse {
  public:
    void Reserved0() override {}
    FAKE_VALUE(uint8_t, Outcome, outcome, 1);
    FAKE_TEXT(Message, message);
};
