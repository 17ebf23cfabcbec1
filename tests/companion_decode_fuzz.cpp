// libFuzzer target: the companion's decoding of service answers. The first byte chooses the
// request code and the HTTP status, the rest is the answer body. Whatever the body, decoding
// must not crash, a failure must carry a result code above 0 and a message, and every getter
// of every record (nested lists included) must return a valid text.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "companion/answer_decoder.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void Text(const char* text) { Check(text != nullptr && std::strlen(text) < (1u << 20)); }

template <class Visit>
void EachElement(PtrList* list, Visit visit) {
    Check(list != nullptr);
    int64_t count = 0;
    for (const PtrListNode* node = list->Head; node; node = node->Next) {
        Check(node->Element != nullptr);
        visit(node->Element);
        ++count;
    }
    Check(count == list->Count);
}

void Watch(IPOWatchEntry* e) {
    Text(e->IssueKey()), Text(e->IPOName()), Text(e->Reserved3()), Text(e->BidStartDate());
    Text(e->BidEndDate()), Text(e->IssueType());
    (void)(e->PriceLow() + e->PriceHigh() + e->FaceValue());
    (void)(e->IssueSize() + e->MinimumOrderQuantity() + e->LotSize());
}

void Details(IPODetailsEntry* e) {
    for (const char* text :
         {e->IssueIdentifier(), e->IPOName(), e->Reserved3(), e->IssueTag(), e->Reserved7(),
          e->Reserved8(), e->Reserved13(), e->BidStartTime(), e->BidEndTime(), e->Registrar(),
          e->Reserved17(), e->Rating(), e->ProspectusLink(), e->Reserved20(),
          e->BrokerRecommendation(), e->Reserved22()}) {
        Text(text);
    }
    EachElement(e->Categories(), [](void* element) {
        auto* c = static_cast<CategoryRecord*>(element);
        Text(c->Code()), Text(c->DisplayName()), Text(c->Text5()), Text(c->Text6());
        (void)(c->MinimumPrice() + c->MaximumPrice() + c->Integer10());
    });
}

void OrderBook(IPOOrderBookEntry* e) {
    for (const char* text :
         {e->IssueKey(), e->OfferName(), e->OfferType(), e->CategoryCode(), e->ApplicationNumber(),
          e->FurtherText(), e->StatusCode(), e->BidDate(), e->UserReference1(),
          e->UserReference2(), e->PaymentMode(), e->UPIId(), e->BankName(), e->BankAccount(),
          e->LastModified(), e->RejectionReason(), e->Reserved19(), e->PaymentStatusCode(),
          e->Reserved24(), e->ClientName()}) {
        Text(text);
    }
    (void)(e->RefundAmount() + e->TotalAmountPayable() + e->LotSize() + e->OrderNumber());
    EachElement(e->Bids(), [](void* element) {
        auto* b = static_cast<IPOOrderBid*>(element);
        Text(b->Reserved1()), Text(b->BidReference()), Text(b->Reserved3());
        (void)(b->Price() + b->AmountPayable() + b->Quantity() + b->CutOff() + b->Position());
    });
}

void Order(OrderResponseRecord* e) {
    Text(e->Message()), Text(e->Reserved3()), Text(e->Reserved4()), Text(e->Reserved5());
    Check(e->Status() <= 1);
    EachElement(e->Details(), [](void* element) {
        auto* d = static_cast<OrderResponseDetail*>(element);
        Text(d->Reserved2()), Text(d->Text());
        Check(d->Status() <= 1);
    });
}

void UserDetails(UserDetailsRecord* e) {
    Text(e->Text1());
    EachElement(e->BankAccounts(), [](void* element) {
        auto* a = static_cast<BankAccountRecord*>(element);
        Text(a->Text1()), Text(a->BankName()), Text(a->Text3()), Text(a->Text4());
        Text(a->AccountNumber()), Text(a->Text9());
        Check(a->AsbaAllowed() <= 1);
    });
    EachElement(e->References(), [](void* element) {
        auto* r = static_cast<UserReferenceRecord*>(element);
        Text(r->Reference1()), Text(r->Reserved2()), Text(r->Reference2());
    });
}

void Cancel(IPOCancelResponse* e) {
    Text(e->Message());
    Check(e->Outcome() <= 1);
}

void Walk(uint16_t code, void* record) {
    switch (code) {
        case kRequestWatchList:
            return Watch(static_cast<IPOWatchEntry*>(record));
        case kRequestWatchDetails:
            return Details(static_cast<IPODetailsEntry*>(record));
        case kRequestOrderBook:
            return OrderBook(static_cast<IPOOrderBookEntry*>(record));
        case kRequestPlaceOrder:
            return Order(static_cast<OrderResponseRecord*>(record));
        case kRequestCancelOrder:
            return Cancel(static_cast<IPOCancelResponse*>(record));
        case kRequestUserDetails:
            return UserDetails(static_cast<UserDetailsRecord*>(record));
        default:
            Check(false);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const uint16_t code = static_cast<uint16_t>(91 + data[0] % 8);  // 97 and 98 are not codes
    const int status = (data[0] & 8) ? 500 : 200;
    const std::string_view body(reinterpret_cast<const char*>(data) + 1, size - 1);
    corvex::Outcome outcome = corvex::DecodeAnswer(code, status, body);
    if (!outcome.answer) {
        Check(outcome.resultCode > 0 && !outcome.message.empty());
        return 0;
    }
    Check(outcome.resultCode <= 0 && outcome.accepted && status == 200);
    Check(outcome.answer->Code() == code);
    EachElement(outcome.answer->Records().List(), [&](void* record) { Walk(code, record); });
    return 0;
}
