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
    FakeText issueKey{""}, ipoName{""}, reserved3{""}, bidStartDate{""}, bidEndDate{""},
        issueType{""};
    double priceLow = 0, priceHigh = 0, faceValue = 0;
    int64_t issueSize = 0;
    int32_t minimumOrderQuantity = 0, lotSize = 0;

    void Reserved0() override {}
    const char* IssueKey() override { return TextOf(issueKey); }
    const char* IPOName() override { return TextOf(ipoName); }
    const char* Reserved3() override { return TextOf(reserved3); }
    double PriceLow() override { return priceLow; }
    double PriceHigh() override { return priceHigh; }
    const char* BidStartDate() override { return TextOf(bidStartDate); }
    const char* BidEndDate() override { return TextOf(bidEndDate); }
    int64_t IssueSize() override { return issueSize; }
    double FaceValue() override { return faceValue; }
    int32_t MinimumOrderQuantity() override { return minimumOrderQuantity; }
    int32_t LotSize() override { return lotSize; }
    const char* IssueType() override { return TextOf(issueType); }
};

class FakeCategoryRecord final : public CategoryRecord {
  public:
    FakeText code{""}, displayName{""}, text5{""}, text6{""};
    double minimumPrice = 0, maximumPrice = 0, number8 = 0, number9 = 0, number11 = 0;
    int64_t integer7 = 0;
    int32_t integer10 = 0, integer12 = 0;

    void Reserved0() override {}
    const char* Code() override { return TextOf(code); }
    const char* DisplayName() override { return TextOf(displayName); }
    double MinimumPrice() override { return minimumPrice; }
    double MaximumPrice() override { return maximumPrice; }
    const char* Text5() override { return TextOf(text5); }
    const char* Text6() override { return TextOf(text6); }
    int64_t Integer7() override { return integer7; }
    double Number8() override { return number8; }
    double Number9() override { return number9; }
    int32_t Integer10() override { return integer10; }
    double Number11() override { return number11; }
    int32_t Integer12() override { return integer12; }
};

class FakeIPODetailsEntry final : public IPODetailsEntry {
  public:
    FakeText issueIdentifier{""}, ipoName{""}, reserved3{""}, issueTag{""}, reserved7{""},
        reserved8{""}, reserved13{""}, bidStartTime{""}, bidEndTime{""}, registrar{""},
        reserved17{""}, rating{""}, prospectusLink{""}, reserved20{""}, brokerRecommendation{""},
        reserved22{""};
    double priceLow = 0, priceHigh = 0, faceValue = 0;
    int64_t issueSize = 0;
    int32_t minimumBidQuantity = 0, lotSize = 0;
    FakePtrList categories;  // of CategoryRecord*
    bool nullCategories = false;

    void Reserved0() override {}
    const char* IssueIdentifier() override { return TextOf(issueIdentifier); }
    const char* IPOName() override { return TextOf(ipoName); }
    const char* Reserved3() override { return TextOf(reserved3); }
    const char* IssueTag() override { return TextOf(issueTag); }
    double PriceLow() override { return priceLow; }
    double PriceHigh() override { return priceHigh; }
    const char* Reserved7() override { return TextOf(reserved7); }
    const char* Reserved8() override { return TextOf(reserved8); }
    int64_t IssueSize() override { return issueSize; }
    double FaceValue() override { return faceValue; }
    int32_t MinimumBidQuantity() override { return minimumBidQuantity; }
    int32_t LotSize() override { return lotSize; }
    const char* Reserved13() override { return TextOf(reserved13); }
    const char* BidStartTime() override { return TextOf(bidStartTime); }
    const char* BidEndTime() override { return TextOf(bidEndTime); }
    const char* Registrar() override { return TextOf(registrar); }
    const char* Reserved17() override { return TextOf(reserved17); }
    const char* Rating() override { return TextOf(rating); }
    const char* ProspectusLink() override { return TextOf(prospectusLink); }
    const char* Reserved20() override { return TextOf(reserved20); }
    const char* BrokerRecommendation() override { return TextOf(brokerRecommendation); }
    const char* Reserved22() override { return TextOf(reserved22); }
    PtrList* Categories() override { return nullCategories ? nullptr : categories.get(); }
};

class FakeBankAccountRecord final : public BankAccountRecord {
  public:
    FakeText text1{""}, bankName{""}, text3{""}, text4{""}, accountNumber{""}, text6{""}, text7{""},
        text8{""}, text9{""};
    uint8_t flag10 = 0, asbaAllowed = 1, flag12 = 0;

    void Reserved0() override {}
    const char* Text1() override { return TextOf(text1); }
    const char* BankName() override { return TextOf(bankName); }
    const char* Text3() override { return TextOf(text3); }
    const char* Text4() override { return TextOf(text4); }
    const char* AccountNumber() override { return TextOf(accountNumber); }
    const char* Text6() override { return TextOf(text6); }
    const char* Text7() override { return TextOf(text7); }
    const char* Text8() override { return TextOf(text8); }
    const char* Text9() override { return TextOf(text9); }
    uint8_t Flag10() override { return flag10; }
    uint8_t AsbaAllowed() override { return asbaAllowed; }
    uint8_t Flag12() override { return flag12; }
};

class FakeUserReferenceRecord final : public UserReferenceRecord {
  public:
    FakeText reference1{""}, reserved2{""}, reference2{""};

    void Reserved0() override {}
    const char* Reference1() override { return TextOf(reference1); }
    const char* Reserved2() override { return TextOf(reserved2); }
    const char* Reference2() override { return TextOf(reference2); }
};

class FakeUserDetailsRecord final : public UserDetailsRecord {
  public:
    FakeText text1{""};
    FakePtrList bankAccounts;  // of BankAccountRecord*
    FakePtrList references;    // of UserReferenceRecord*
    bool nullBankAccounts = false, nullReferences = false;

    void Reserved0() override {}
    const char* Text1() override { return TextOf(text1); }
    PtrList* BankAccounts() override { return nullBankAccounts ? nullptr : bankAccounts.get(); }
    PtrList* References() override { return nullReferences ? nullptr : references.get(); }
};

class FakeOrderResponseDetail final : public OrderResponseDetail {
  public:
    uint8_t status = 1;
    FakeText reserved2{""}, reserved3{""}, reserved4{""}, reserved5{""}, reserved6{""}, text{""};

    void Reserved0() override {}
    uint8_t Status() override { return status; }
    const char* Reserved2() override { return TextOf(reserved2); }
    const char* Reserved3() override { return TextOf(reserved3); }
    const char* Reserved4() override { return TextOf(reserved4); }
    const char* Reserved5() override { return TextOf(reserved5); }
    const char* Reserved6() override { return TextOf(reserved6); }
    const char* Text() override { return TextOf(text); }
};

class FakeOrderResponseRecord final : public OrderResponseRecord {
  public:
    uint8_t status = 1;
    FakeText message{""}, reserved3{""}, reserved4{""}, reserved5{""}, reserved6{""}, reserved7{""};
    FakePtrList details;  // of OrderResponseDetail*
    bool nullDetails = false;

    void Reserved0() override {}
    uint8_t Status() override { return status; }
    const char* Message() override { return TextOf(message); }
    const char* Reserved3() override { return TextOf(reserved3); }
    const char* Reserved4() override { return TextOf(reserved4); }
    const char* Reserved5() override { return TextOf(reserved5); }
    const char* Reserved6() override { return TextOf(reserved6); }
    const char* Reserved7() override { return TextOf(reserved7); }
    PtrList* Details() override { return nullDetails ? nullptr : details.get(); }
};

class FakeIPOOrderBid final : public IPOOrderBid {
  public:
    FakeText reserved1{""}, bidReference{""}, reserved3{""};
    int32_t quantity = 0, furtherNumber = 0, position = 0;
    int16_t cutOff = 0;
    double price = 0, amountPayable = 0;  // hundredths

    void Reserved0() override {}
    const char* Reserved1() override { return TextOf(reserved1); }
    const char* BidReference() override { return TextOf(bidReference); }
    const char* Reserved3() override { return TextOf(reserved3); }
    int32_t Quantity() override { return quantity; }
    int16_t CutOff() override { return cutOff; }
    double Price() override { return price; }
    int32_t FurtherNumber() override { return furtherNumber; }
    double AmountPayable() override { return amountPayable; }
    int32_t Position() override { return position; }
};

class FakeIPOOrderBookEntry final : public IPOOrderBookEntry {
  public:
    FakeText issueKey{""}, offerName{""}, offerType{""}, categoryCode{""}, applicationNumber{""},
        furtherText{""}, statusCode{""}, bidDate{""}, userReference1{""}, userReference2{""},
        paymentMode{""}, upiId{""}, bankName{""}, bankAccount{""}, lastModified{""},
        rejectionReason{""}, reserved19{""}, paymentStatusCode{""}, reserved24{""}, clientName{""};
    int32_t orderNumber = 0, allocatedQuantity = 0, lotSize = 0;
    double refundAmount = 0;        // currency units
    double totalAmountPayable = 0;  // hundredths
    FakePtrList bids;               // of IPOOrderBid*
    bool nullBids = false;

    void Reserved0() override {}
    const char* IssueKey() override { return TextOf(issueKey); }
    const char* OfferName() override { return TextOf(offerName); }
    const char* OfferType() override { return TextOf(offerType); }
    const char* CategoryCode() override { return TextOf(categoryCode); }
    int32_t OrderNumber() override { return orderNumber; }
    const char* ApplicationNumber() override { return TextOf(applicationNumber); }
    const char* FurtherText() override { return TextOf(furtherText); }
    const char* StatusCode() override { return TextOf(statusCode); }
    const char* BidDate() override { return TextOf(bidDate); }
    const char* UserReference1() override { return TextOf(userReference1); }
    const char* UserReference2() override { return TextOf(userReference2); }
    const char* PaymentMode() override { return TextOf(paymentMode); }
    const char* UPIId() override { return TextOf(upiId); }
    const char* BankName() override { return TextOf(bankName); }
    const char* BankAccount() override { return TextOf(bankAccount); }
    const char* LastModified() override { return TextOf(lastModified); }
    const char* RejectionReason() override { return TextOf(rejectionReason); }
    int32_t AllocatedQuantity() override { return allocatedQuantity; }
    const char* Reserved19() override { return TextOf(reserved19); }
    double RefundAmount() override { return refundAmount; }
    const char* PaymentStatusCode() override { return TextOf(paymentStatusCode); }
    double TotalAmountPayable() override { return totalAmountPayable; }
    int32_t LotSize() override { return lotSize; }
    const char* Reserved24() override { return TextOf(reserved24); }
    PtrList* Bids() override { return nullBids ? nullptr : bids.get(); }
    const char* ClientName() override { return TextOf(clientName); }
};

class FakeIPOCancelResponse final : public IPOCancelResponse {
  public:
    uint8_t outcome = 1;
    FakeText message{""};

    void Reserved0() override {}
    uint8_t Outcome() override { return outcome; }
    const char* Message() override { return TextOf(message); }
};
