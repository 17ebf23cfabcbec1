// The answer records handed to the plug-in: one class per boundary interface, holding its own
// copies of every text so that each getter returns a valid zero-terminated text, never null.
// A record lives in the Answer that decoded it, until the next request of the same thread.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "bridge/companion_abi.h"

namespace corvex {

inline const char* NoText() {
    return "";
}

// A list of answer records in the framework's pointer-list form, owning its elements. The
// records of a list are all of one type and sit side by side in blocks the list allocates: an
// allocation and a free for each of 50 records were a tenth of decoding a watch list.
class RecordList {
  public:
    RecordList() = default;
    RecordList(const RecordList&) = delete;
    RecordList& operator=(const RecordList&) = delete;
    ~RecordList() {
        for (void* record : records_) {
            destroy_(record);
        }
    }

    // Room for `count` records, made before they are added.
    void Reserve(size_t count) {
        records_.reserve(count);
        nodes_.reserve(count);
    }
    // A new record at the end of the list, of the list's one type, as its interface shows it.
    template <class Interface, class Record>
    Record& New() {
        static_assert(alignof(Record) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);
        if (destroy_ && destroy_ != &Destroy<Record>) {
            throw std::logic_error("records of two types in one list");
        }
        Record* record = new (Room(sizeof(Record))) Record();
        destroy_ = &Destroy<Record>;
        records_.push_back(record);
        nodes_.push_back(PtrListNode{nullptr, nullptr, static_cast<Interface*>(record)});
        return *record;
    }
    // Links the nodes; called once, after the last New.
    void Link() {
        for (size_t i = 0; i < nodes_.size(); ++i) {
            nodes_[i].Next = i + 1 < nodes_.size() ? &nodes_[i + 1] : nullptr;
            nodes_[i].Previous = i > 0 ? &nodes_[i - 1] : nullptr;
        }
        list_.Head = nodes_.empty() ? nullptr : &nodes_.front();
        list_.Tail = nodes_.empty() ? nullptr : &nodes_.back();
        list_.Count = static_cast<int64_t>(nodes_.size());
    }
    PtrList* List() { return &list_; }

  private:
    template <class Record>
    static void Destroy(void* record) {
        static_cast<Record*>(record)->~Record();
    }
    // Room for one record of `size` bytes: in the current block, or in a new one for the
    // records still to come of those reserved (or, beyond them, as many as the list holds).
    void* Room(size_t size) {
        if (blockLeft_ < size) {
            const size_t reserved = records_.capacity() - records_.size();
            const size_t count = reserved > 0 ? reserved : std::max<size_t>(4, records_.size());
            blocks_.push_back(std::make_unique_for_overwrite<std::byte[]>(count * size));
            blockAt_ = blocks_.back().get();
            blockLeft_ = count * size;
        }
        void* room = blockAt_;
        blockAt_ += size;
        blockLeft_ -= size;
        return room;
    }

    std::vector<std::unique_ptr<std::byte[]>> blocks_;
    std::byte* blockAt_ = nullptr;
    size_t blockLeft_ = 0;
    std::vector<void*> records_;
    void (*destroy_)(void*) = nullptr;
    std::vector<PtrListNode> nodes_;
    PtrList list_{};
};

// The texts of one record in one buffer, each ended by a zero byte, held inside the record up
// to a typical record's size: separate strings would take an allocation for each text too long
// to sit inside itself (an order book of 100,000 orders made half a million of them), and a
// buffer of its own one more per record. A record whose texts outgrow it takes one allocation.
template <class Field, size_t kFields>
class PackedTexts {
  public:
    PackedTexts() { inline_[0] = '\0'; }  // where every text not set yet points: empty
    PackedTexts(const PackedTexts&) = delete;
    PackedTexts& operator=(const PackedTexts&) = delete;

    void Set(Field field, std::string_view text) {
        const size_t at = size_;
        Reserve(at + text.size() + 1);
        char* data = Data();
        std::memcpy(data + at, text.data(), text.size());
        data[at + text.size()] = '\0';
        size_ = at + text.size() + 1;
        offsets_[static_cast<size_t>(field)] = static_cast<uint32_t>(at);
    }
    const char* Get(Field field) const { return Data() + offsets_[static_cast<size_t>(field)]; }

  private:
    static constexpr size_t kInline = 256;  // room for a typical record's texts

    char* Data() { return heap_ ? heap_.get() : inline_; }
    const char* Data() const { return heap_ ? heap_.get() : inline_; }
    void Reserve(size_t needed) {
        if (needed <= capacity_) {
            return;
        }
        const size_t capacity = std::max(needed, 2 * capacity_);
        auto grown = std::make_unique_for_overwrite<char[]>(capacity);
        std::memcpy(grown.get(), Data(), size_);
        heap_ = std::move(grown);
        capacity_ = capacity;
    }

    char inline_[kInline];
    std::unique_ptr<char[]> heap_;
    size_t size_ = 1;
    size_t capacity_ = kInline;
    uint32_t offsets_[kFields] = {};
};

// The texts of a watch list entry.
enum class WatchText { kIssueKey, kName, kIssueTag, kBidStart, kBidEnd, kIssueType, kCount };

class WatchRecord final : public IPOWatchEntry {
  public:
    PackedTexts<WatchText, static_cast<size_t>(WatchText::kCount)> texts;
    double priceLow = 0, priceHigh = 0, faceValue = 0;
    int64_t issueSize = 0;
    int32_t minimumQuantity = 0, lotSize = 0;

    void Reserved0() override {}
    const char* IssueKey() override { return texts.Get(WatchText::kIssueKey); }
    const char* IPOName() override { return texts.Get(WatchText::kName); }
    const char* Reserved3() override { return texts.Get(WatchText::kIssueTag); }
    double PriceLow() override { return priceLow; }
    double PriceHigh() override { return priceHigh; }
    const char* BidStartDate() override { return texts.Get(WatchText::kBidStart); }
    const char* BidEndDate() override { return texts.Get(WatchText::kBidEnd); }
    int64_t IssueSize() override { return issueSize; }
    double FaceValue() override { return faceValue; }
    int32_t MinimumOrderQuantity() override { return minimumQuantity; }
    int32_t LotSize() override { return lotSize; }
    const char* IssueType() override { return texts.Get(WatchText::kIssueType); }
};

class CategoryAnswer final : public CategoryRecord {
  public:
    std::string code, name;
    double minimumPrice = 0, maximumPrice = 0;
    int32_t cutOffAllowed = 0;

    void Reserved0() override {}
    const char* Code() override { return code.c_str(); }
    const char* DisplayName() override { return name.c_str(); }
    double MinimumPrice() override { return minimumPrice; }
    double MaximumPrice() override { return maximumPrice; }
    const char* Text5() override { return NoText(); }
    const char* Text6() override { return NoText(); }
    int64_t Integer7() override { return 0; }
    double Number8() override { return 0; }
    double Number9() override { return 0; }
    int32_t Integer10() override { return cutOffAllowed; }
    double Number11() override { return 0; }
    int32_t Integer12() override { return 0; }
};

class DetailsRecord final : public IPODetailsEntry {
  public:
    std::string issueKey, name, issueTag, bidStartTime, bidEndTime, registrar, rating, prospectus,
        recommendation;
    double priceLow = 0, priceHigh = 0, faceValue = 0;
    int64_t issueSize = 0;
    int32_t minimumBidQuantity = 0, lotSize = 0;
    RecordList categories;

    void Reserved0() override {}
    const char* IssueIdentifier() override { return issueKey.c_str(); }
    const char* IPOName() override { return name.c_str(); }
    const char* Reserved3() override { return NoText(); }
    const char* IssueTag() override { return issueTag.c_str(); }
    double PriceLow() override { return priceLow; }
    double PriceHigh() override { return priceHigh; }
    const char* Reserved7() override { return NoText(); }
    const char* Reserved8() override { return NoText(); }
    int64_t IssueSize() override { return issueSize; }
    double FaceValue() override { return faceValue; }
    int32_t MinimumBidQuantity() override { return minimumBidQuantity; }
    int32_t LotSize() override { return lotSize; }
    const char* Reserved13() override { return NoText(); }
    const char* BidStartTime() override { return bidStartTime.c_str(); }
    const char* BidEndTime() override { return bidEndTime.c_str(); }
    const char* Registrar() override { return registrar.c_str(); }
    const char* Reserved17() override { return NoText(); }
    const char* Rating() override { return rating.c_str(); }
    const char* ProspectusLink() override { return prospectus.c_str(); }
    const char* Reserved20() override { return NoText(); }
    const char* BrokerRecommendation() override { return recommendation.c_str(); }
    const char* Reserved22() override { return NoText(); }
    PtrList* Categories() override { return categories.List(); }
};

class BankAccountAnswer final : public BankAccountRecord {
  public:
    std::string clientId, bankName, ifsc, branch, accountNumber;
    uint8_t asbaAllowed = 0;

    void Reserved0() override {}
    const char* Text1() override { return clientId.c_str(); }
    const char* BankName() override { return bankName.c_str(); }
    const char* Text3() override { return ifsc.c_str(); }
    const char* Text4() override { return branch.c_str(); }
    const char* AccountNumber() override { return accountNumber.c_str(); }
    const char* Text6() override { return NoText(); }
    const char* Text7() override { return NoText(); }
    const char* Text8() override { return NoText(); }
    const char* Text9() override { return NoText(); }
    uint8_t Flag10() override { return 0; }
    uint8_t AsbaAllowed() override { return asbaAllowed; }
    uint8_t Flag12() override { return 0; }
};

class ReferenceAnswer final : public UserReferenceRecord {
  public:
    std::string reference1, reference2;

    void Reserved0() override {}
    const char* Reference1() override { return reference1.c_str(); }
    const char* Reserved2() override { return NoText(); }
    const char* Reference2() override { return reference2.c_str(); }
};

class UserDetailsAnswer final : public UserDetailsRecord {
  public:
    std::string upiId;
    RecordList bankAccounts, references;

    void Reserved0() override {}
    const char* Text1() override { return upiId.c_str(); }
    PtrList* BankAccounts() override { return bankAccounts.List(); }
    PtrList* References() override { return references.List(); }
};

class OrderDetailAnswer final : public OrderResponseDetail {
  public:
    uint8_t status = 0;
    std::string reference, text;

    void Reserved0() override {}
    uint8_t Status() override { return status; }
    const char* Reserved2() override { return reference.c_str(); }
    const char* Reserved3() override { return NoText(); }
    const char* Reserved4() override { return NoText(); }
    const char* Reserved5() override { return NoText(); }
    const char* Reserved6() override { return NoText(); }
    const char* Text() override { return text.c_str(); }
};

class OrderAnswer final : public OrderResponseRecord {
  public:
    uint8_t status = 0;
    std::string message, applicationNumber, orderNumber;
    RecordList details;

    void Reserved0() override {}
    uint8_t Status() override { return status; }
    const char* Message() override { return message.c_str(); }
    const char* Reserved3() override { return applicationNumber.c_str(); }
    const char* Reserved4() override { return orderNumber.c_str(); }
    const char* Reserved5() override { return NoText(); }
    const char* Reserved6() override { return NoText(); }
    const char* Reserved7() override { return NoText(); }
    PtrList* Details() override { return details.List(); }
};

class OrderBidAnswer final : public IPOOrderBid {
  public:
    std::string reference;
    int32_t quantity = 0, position = 0;
    int16_t cutOff = 0;
    double pricePaise = 0, amountPaise = 0;

    void Reserved0() override {}
    const char* Reserved1() override { return NoText(); }
    const char* BidReference() override { return reference.c_str(); }
    const char* Reserved3() override { return NoText(); }
    int32_t Quantity() override { return quantity; }
    int16_t CutOff() override { return cutOff; }
    double Price() override { return pricePaise; }
    int32_t FurtherNumber() override { return 0; }
    double AmountPayable() override { return amountPaise; }
    int32_t Position() override { return position; }
};

// The texts of an order book entry.
enum class OrderText {
    kIssueKey,
    kOfferName,
    kOfferType,
    kCategory,
    kApplicationNumber,
    kStatus,
    kBidDate,
    kReference1,
    kReference2,
    kPaymentMode,
    kUpiId,
    kBankName,
    kBankAccount,
    kLastModified,
    kRejectionReason,
    kPaymentStatus,
    kClientName,
    kCount
};

class OrderBookAnswer final : public IPOOrderBookEntry {
  public:
    PackedTexts<OrderText, static_cast<size_t>(OrderText::kCount)> texts;
    int32_t orderNumber = 0, allocatedQuantity = 0, lotSize = 0;
    double refund = 0, totalPaise = 0;
    RecordList bids;

    void Reserved0() override {}
    const char* IssueKey() override { return texts.Get(OrderText::kIssueKey); }
    const char* OfferName() override { return texts.Get(OrderText::kOfferName); }
    const char* OfferType() override { return texts.Get(OrderText::kOfferType); }
    const char* CategoryCode() override { return texts.Get(OrderText::kCategory); }
    int32_t OrderNumber() override { return orderNumber; }
    const char* ApplicationNumber() override { return texts.Get(OrderText::kApplicationNumber); }
    const char* FurtherText() override { return NoText(); }
    const char* StatusCode() override { return texts.Get(OrderText::kStatus); }
    const char* BidDate() override { return texts.Get(OrderText::kBidDate); }
    const char* UserReference1() override { return texts.Get(OrderText::kReference1); }
    const char* UserReference2() override { return texts.Get(OrderText::kReference2); }
    const char* PaymentMode() override { return texts.Get(OrderText::kPaymentMode); }
    const char* UPIId() override { return texts.Get(OrderText::kUpiId); }
    const char* BankName() override { return texts.Get(OrderText::kBankName); }
    const char* BankAccount() override { return texts.Get(OrderText::kBankAccount); }
    const char* LastModified() override { return texts.Get(OrderText::kLastModified); }
    const char* RejectionReason() override { return texts.Get(OrderText::kRejectionReason); }
    int32_t AllocatedQuantity() override { return allocatedQuantity; }
    const char* Reserved19() override { return NoText(); }
    double RefundAmount() override { return refund; }
    const char* PaymentStatusCode() override { return texts.Get(OrderText::kPaymentStatus); }
    double TotalAmountPayable() override { return totalPaise; }
    int32_t LotSize() override { return lotSize; }
    const char* Reserved24() override { return NoText(); }
    PtrList* Bids() override { return bids.List(); }
    const char* ClientName() override { return texts.Get(OrderText::kClientName); }
};

class CancelAnswer final : public IPOCancelResponse {
  public:
    uint8_t outcome = 0;
    std::string message;

    void Reserved0() override {}
    uint8_t Outcome() override { return outcome; }
    const char* Message() override { return message.c_str(); }
};

// The records of one answer, in delivery order, for the request code that asked for them.
class Answer {
  public:
    explicit Answer(uint16_t code) : code_(code) {}
    uint16_t Code() const { return code_; }
    RecordList& Records() { return records_; }
    const PtrList& List() { return *records_.List(); }

  private:
    uint16_t code_;
    RecordList records_;
};

}  // namespace corvex
