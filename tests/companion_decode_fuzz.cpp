// libFuzzer target: the companion's decoding of service answers. The first byte chooses the
// request code and the HTTP status, the rest is the answer body. Whatever the body, decoding
// must not crash, a failure must carry a result code above 0 and a message, and every getter
// of every record (nested lists included) must return a valid text.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <type_traits>

#include "companion/answer_decoder.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Texts are present and end; numbers are only read (the sanitizers watch every read).
template <class... Value>
void Read(Value... values) {
    const auto one = [](auto value) {
        if constexpr (std::is_pointer_v<decltype(value)>) {
            Check(value && std::strlen(value) < (1u << 20));
        }
    };
    (one(values), ...);
}

// Calls visit(Record*) on each element of a list whose count matches its elements.
template <class Record, class Visit>
void Each(PtrList* list, Visit visit) {
    Check(list != nullptr);
    int64_t count = 0;
    for (const PtrListNode* node = list->Head; node; node = node->Next, ++count) {
        Check(node->Element != nullptr);
        visit(static_cast<Record*>(node->Element));
    }
    Check(count == list->Count);
}

void Walk(uint16_t code, PtrList* records) {
    switch (code) {
        case kRequestWatchList:
            return Each<IPOWatchEntry>(records, [](auto* e) {
                Read(e->IssueKey(), e->IPOName(), e->Reserved3(), e->BidStartDate(),
                     e->BidEndDate(), e->IssueType(), e->PriceLow(), e->PriceHigh(), e->FaceValue(),
                     e->IssueSize(), e->MinimumOrderQuantity(), e->LotSize());
            });
        case kRequestWatchDetails:
            return Each<IPODetailsEntry>(records, [](auto* e) {
                Read(e->IssueIdentifier(), e->IPOName(), e->Reserved3(), e->IssueTag(),
                     e->Reserved7(), e->Reserved8(), e->Reserved13(), e->BidStartTime(),
                     e->BidEndTime(), e->Registrar(), e->Reserved17(), e->Rating(),
                     e->ProspectusLink(), e->Reserved20(), e->BrokerRecommendation(),
                     e->Reserved22());
                Each<CategoryRecord>(e->Categories(), [](auto* c) {
                    Read(c->Code(), c->DisplayName(), c->Text5(), c->Text6(), c->MinimumPrice(),
                         c->MaximumPrice(), c->Integer10());
                });
            });
        case kRequestOrderBook:
            return Each<IPOOrderBookEntry>(records, [](auto* e) {
                Read(e->IssueKey(), e->OfferName(), e->OfferType(), e->CategoryCode(),
                     e->ApplicationNumber(), e->FurtherText(), e->StatusCode(), e->BidDate(),
                     e->UserReference1(), e->UserReference2(), e->PaymentMode(), e->UPIId(),
                     e->BankName(), e->BankAccount(), e->LastModified(), e->RejectionReason(),
                     e->Reserved19(), e->PaymentStatusCode(), e->Reserved24(), e->ClientName(),
                     e->RefundAmount(), e->TotalAmountPayable(), e->LotSize(), e->OrderNumber());
                Each<IPOOrderBid>(e->Bids(), [](auto* b) {
                    Read(b->Reserved1(), b->BidReference(), b->Reserved3(), b->Price(),
                         b->AmountPayable(), b->Quantity(), b->CutOff(), b->Position());
                });
            });
        case kRequestPlaceOrder:
            return Each<OrderResponseRecord>(records, [](auto* e) {
                Read(e->Message(), e->Reserved3(), e->Reserved4(), e->Reserved5());
                Check(e->Status() <= 1);
                Each<OrderResponseDetail>(e->Details(), [](auto* d) {
                    Read(d->Reserved2(), d->Text());
                    Check(d->Status() <= 1);
                });
            });
        case kRequestCancelOrder:
            return Each<IPOCancelResponse>(records, [](auto* e) {
                Read(e->Message());
                Check(e->Outcome() <= 1);
            });
        case kRequestUserDetails:
            return Each<UserDetailsRecord>(records, [](auto* e) {
                Read(e->Text1());
                Each<BankAccountRecord>(e->BankAccounts(), [](auto* a) {
                    Read(a->Text1(), a->BankName(), a->Text3(), a->Text4(), a->AccountNumber(),
                         a->Text9());
                    Check(a->AsbaAllowed() <= 1);
                });
                Each<UserReferenceRecord>(e->References(), [](auto* r) {
                    Read(r->Reference1(), r->Reserved2(), r->Reference2());
                });
            });
        default:  // a code no request has: accepted only without records
            return Each<void>(records, [](void*) { Check(false); });
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
    Walk(code, outcome.answer->Records().List());
    return 0;
}
