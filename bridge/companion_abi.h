// Records shared with the companion library (Corvexdll64): the request record the plug-in
// fills, the list type that carries answer records, the answer records themselves and the
// companion's entry points. The answer records are abstract classes: the position of each
// virtual function is its slot in the record's table of operations, so every slot is declared,
// the unused ones as named placeholders, and none of them has a virtual destructor.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

// One bid of an order in the request record.
struct IPOBidSlot {
    char BidActionCode[3];
    char Padding0[1];
    int32_t Quantity;
    uint8_t CutOff;
    char Padding1[7];
    double Price;
    char BidReference[17];
    char Padding2[7];
};
static_assert(sizeof(IPOBidSlot) == 48);
static_assert(offsetof(IPOBidSlot, BidActionCode) == 0);
static_assert(offsetof(IPOBidSlot, Padding0) == 3);
static_assert(offsetof(IPOBidSlot, Quantity) == 4);
static_assert(offsetof(IPOBidSlot, CutOff) == 8);
static_assert(offsetof(IPOBidSlot, Padding1) == 9);
static_assert(offsetof(IPOBidSlot, Price) == 16);
static_assert(offsetof(IPOBidSlot, BidReference) == 24);
static_assert(offsetof(IPOBidSlot, Padding2) == 41);

// The request record: every byte zero when a request begins; each request fills its own
// section. Out fields are written by the companion during ProcessCall.
struct IPOServiceRequest {
    uint16_t UserType;
    uint16_t RequestCode;
    char UserId[101];
    char ClientCode[11];  // acting-for client
    char Reserved0[11];
    char ClientId[51];  // acting-for client
    char LoginClientId[51];
    char LoginClientCode[11];
    char Reserved1[12];
    char URL[256];
    int32_t Reserved2;
    uint8_t Accepted;  // out
    uint8_t Padding0;
    int16_t ResultCode;  // out: 0 or less is success
    char Message[4096];  // out: "null" when the service could not be reached
    // watch list
    char Section[3];
    char Product[4];
    char Reserved3[53];
    char WatchFromDate[11];
    char WatchToDate[11];
    char Reserved4[70];
    // place order
    char OrderFlag[3];
    char IPOName[21];
    char IssueTag[6];
    char CategoryCode[31];
    char UserReference1[21];
    char UserReference2[21];
    char PaymentMode[11];
    char UPIId[51];
    char BankName[21];
    char BankAccount[41];
    char Padding1[1];
    int32_t OrderNumber;
    char ApplicationNumber[17];
    char Padding2[1];
    uint16_t BidCount;
    IPOBidSlot Bids[3];
    char Reserved5[57];
    // order book
    char OrderBookFromDate[11];
    char OrderBookToDate[11];
    char Reserved6[65];
    char OrderStatus[11];
    char Reserved7[45];
    // cancel
    int32_t CancelOrderNumber;
    char CancelAction[2];
    uint16_t BidReferenceCount;
    char BidReferences[3][17];
    char Padding3[1];
    // details
    char IssueKey[21];
    char Reserved8[43];
    // user details
    char DetailsWanted[2];
    char Padding4[2];
};
static_assert(sizeof(IPOServiceRequest) == 5488);
static_assert(offsetof(IPOServiceRequest, UserType) == 0);
static_assert(offsetof(IPOServiceRequest, RequestCode) == 2);
static_assert(offsetof(IPOServiceRequest, UserId) == 4);
static_assert(offsetof(IPOServiceRequest, ClientCode) == 105);
static_assert(offsetof(IPOServiceRequest, Reserved0) == 116);
static_assert(offsetof(IPOServiceRequest, ClientId) == 127);
static_assert(offsetof(IPOServiceRequest, LoginClientId) == 178);
static_assert(offsetof(IPOServiceRequest, LoginClientCode) == 229);
static_assert(offsetof(IPOServiceRequest, Reserved1) == 240);
static_assert(offsetof(IPOServiceRequest, URL) == 252);
static_assert(offsetof(IPOServiceRequest, Reserved2) == 508);
static_assert(offsetof(IPOServiceRequest, Accepted) == 512);
static_assert(offsetof(IPOServiceRequest, Padding0) == 513);
static_assert(offsetof(IPOServiceRequest, ResultCode) == 514);
static_assert(offsetof(IPOServiceRequest, Message) == 516);
static_assert(offsetof(IPOServiceRequest, Section) == 4612);
static_assert(offsetof(IPOServiceRequest, Product) == 4615);
static_assert(offsetof(IPOServiceRequest, Reserved3) == 4619);
static_assert(offsetof(IPOServiceRequest, WatchFromDate) == 4672);
static_assert(offsetof(IPOServiceRequest, WatchToDate) == 4683);
static_assert(offsetof(IPOServiceRequest, Reserved4) == 4694);
static_assert(offsetof(IPOServiceRequest, OrderFlag) == 4764);
static_assert(offsetof(IPOServiceRequest, IPOName) == 4767);
static_assert(offsetof(IPOServiceRequest, IssueTag) == 4788);
static_assert(offsetof(IPOServiceRequest, CategoryCode) == 4794);
static_assert(offsetof(IPOServiceRequest, UserReference1) == 4825);
static_assert(offsetof(IPOServiceRequest, UserReference2) == 4846);
static_assert(offsetof(IPOServiceRequest, PaymentMode) == 4867);
static_assert(offsetof(IPOServiceRequest, UPIId) == 4878);
static_assert(offsetof(IPOServiceRequest, BankName) == 4929);
static_assert(offsetof(IPOServiceRequest, BankAccount) == 4950);
static_assert(offsetof(IPOServiceRequest, Padding1) == 4991);
static_assert(offsetof(IPOServiceRequest, OrderNumber) == 4992);
static_assert(offsetof(IPOServiceRequest, ApplicationNumber) == 4996);
static_assert(offsetof(IPOServiceRequest, Padding2) == 5013);
static_assert(offsetof(IPOServiceRequest, BidCount) == 5014);
static_assert(offsetof(IPOServiceRequest, Bids) == 5016);
static_assert(offsetof(IPOServiceRequest, Reserved5) == 5160);
static_assert(offsetof(IPOServiceRequest, OrderBookFromDate) == 5217);
static_assert(offsetof(IPOServiceRequest, OrderBookToDate) == 5228);
static_assert(offsetof(IPOServiceRequest, Reserved6) == 5239);
static_assert(offsetof(IPOServiceRequest, OrderStatus) == 5304);
static_assert(offsetof(IPOServiceRequest, Reserved7) == 5315);
static_assert(offsetof(IPOServiceRequest, CancelOrderNumber) == 5360);
static_assert(offsetof(IPOServiceRequest, CancelAction) == 5364);
static_assert(offsetof(IPOServiceRequest, BidReferenceCount) == 5366);
static_assert(offsetof(IPOServiceRequest, BidReferences) == 5368);
static_assert(offsetof(IPOServiceRequest, Padding3) == 5419);
static_assert(offsetof(IPOServiceRequest, IssueKey) == 5420);
static_assert(offsetof(IPOServiceRequest, Reserved8) == 5441);
static_assert(offsetof(IPOServiceRequest, DetailsWanted) == 5484);
static_assert(offsetof(IPOServiceRequest, Padding4) == 5486);

// Request codes.
constexpr uint16_t kRequestWatchList = 91;
constexpr uint16_t kRequestWatchDetails = 92;
constexpr uint16_t kRequestOrderBook = 93;
constexpr uint16_t kRequestPlaceOrder = 94;
constexpr uint16_t kRequestCancelOrder = 95;
constexpr uint16_t kRequestUserDetails = 96;

// The framework's pointer list, as the companion hands lists of answer records: a header whose
// second word points to the first node and whose fourth word holds the count; each node holds
// the next node, the previous node and the element.
struct PtrListNode {
    PtrListNode* Next;
    PtrListNode* Previous;
    void* Element;
};
static_assert(sizeof(PtrListNode) == 24);
static_assert(offsetof(PtrListNode, Next) == 0);
static_assert(offsetof(PtrListNode, Previous) == 8);
static_assert(offsetof(PtrListNode, Element) == 16);

struct PtrList {
    void* Reserved;
    PtrListNode* Head;
    PtrListNode* Tail;
    int64_t Count;
};
static_assert(sizeof(PtrList) == 32);
static_assert(offsetof(PtrList, Reserved) == 0);
static_assert(offsetof(PtrList, Head) == 8);
static_assert(offsetof(PtrList, Tail) == 16);
static_assert(offsetof(PtrList, Count) == 24);

// Answer to request 91, one per issue.
class IPOWatchEntry {
public:
    virtual void Reserved0() = 0;
    virtual const char* IssueKey() = 0;
    virtual const char* IPOName() = 0;
    virtual const char* Reserved3() = 0;
    virtual double PriceLow() = 0;
    virtual double PriceHigh() = 0;
    virtual const char* BidStartDate() = 0;
    virtual const char* BidEndDate() = 0;
    virtual int64_t IssueSize() = 0;
    virtual double FaceValue() = 0;
    virtual int32_t MinimumOrderQuantity() = 0;
    virtual int32_t LotSize() = 0;
    virtual const char* IssueType() = 0;

protected:
    ~IPOWatchEntry() = default;
};

// One investor category of an issue (element of IPODetailsEntry::Categories).
class CategoryRecord {
public:
    virtual void Reserved0() = 0;
    virtual const char* Code() = 0;
    virtual const char* DisplayName() = 0;
    virtual double MinimumPrice() = 0;
    virtual double MaximumPrice() = 0;
    virtual const char* Text5() = 0;
    virtual const char* Text6() = 0;
    virtual int64_t Integer7() = 0;
    virtual double Number8() = 0;
    virtual double Number9() = 0;
    virtual int32_t Integer10() = 0;
    virtual double Number11() = 0;
    virtual int32_t Integer12() = 0;

protected:
    ~CategoryRecord() = default;
};

// Answer to request 92.
class IPODetailsEntry {
public:
    virtual void Reserved0() = 0;
    virtual const char* IssueIdentifier() = 0;
    virtual const char* IPOName() = 0;
    virtual const char* Reserved3() = 0;
    virtual const char* IssueTag() = 0;
    virtual double PriceLow() = 0;
    virtual double PriceHigh() = 0;
    virtual const char* Reserved7() = 0;
    virtual const char* Reserved8() = 0;
    virtual int64_t IssueSize() = 0;
    virtual double FaceValue() = 0;
    virtual int32_t MinimumBidQuantity() = 0;
    virtual int32_t LotSize() = 0;
    virtual const char* Reserved13() = 0;
    virtual const char* BidStartTime() = 0;
    virtual const char* BidEndTime() = 0;
    virtual const char* Registrar() = 0;
    virtual const char* Reserved17() = 0;
    virtual const char* Rating() = 0;
    virtual const char* ProspectusLink() = 0;
    virtual const char* Reserved20() = 0;
    virtual const char* BrokerRecommendation() = 0;
    virtual const char* Reserved22() = 0;
    virtual PtrList* Categories() = 0;  // of CategoryRecord*, may be null

protected:
    ~IPODetailsEntry() = default;
};

// One bank account of the user (element of UserDetailsRecord::BankAccounts).
class BankAccountRecord {
public:
    virtual void Reserved0() = 0;
    virtual const char* Text1() = 0;
    virtual const char* BankName() = 0;
    virtual const char* Text3() = 0;
    virtual const char* Text4() = 0;
    virtual const char* AccountNumber() = 0;
    virtual const char* Text6() = 0;
    virtual const char* Text7() = 0;
    virtual const char* Text8() = 0;
    virtual const char* Text9() = 0;
    virtual uint8_t Flag10() = 0;
    virtual uint8_t AsbaAllowed() = 0;  // 0: the account cannot be used for ASBA
    virtual uint8_t Flag12() = 0;

protected:
    ~BankAccountRecord() = default;
};

// The user's references (element of UserDetailsRecord::References).
class UserReferenceRecord {
public:
    virtual void Reserved0() = 0;
    virtual const char* Reference1() = 0;
    virtual const char* Reserved2() = 0;
    virtual const char* Reference2() = 0;

protected:
    ~UserReferenceRecord() = default;
};

// Answer to request 96.
class UserDetailsRecord {
public:
    virtual void Reserved0() = 0;
    virtual const char* Text1() = 0;
    virtual PtrList* BankAccounts() = 0;  // of BankAccountRecord*, may be null
    virtual PtrList* References() = 0;    // of UserReferenceRecord*, may be null

protected:
    ~UserDetailsRecord() = default;
};

// One detail of an order response (element of OrderResponseRecord::Details).
class OrderResponseDetail {
public:
    virtual void Reserved0() = 0;
    virtual uint8_t Status() = 0;  // 0: failed
    virtual const char* Reserved2() = 0;
    virtual const char* Reserved3() = 0;
    virtual const char* Reserved4() = 0;
    virtual const char* Reserved5() = 0;
    virtual const char* Reserved6() = 0;
    virtual const char* Text() = 0;

protected:
    ~OrderResponseDetail() = default;
};

// Answer to request 94.
class OrderResponseRecord {
public:
    virtual void Reserved0() = 0;
    virtual uint8_t Status() = 0;  // 1 accepted, 0 rejected
    virtual const char* Message() = 0;
    virtual const char* Reserved3() = 0;
    virtual const char* Reserved4() = 0;
    virtual const char* Reserved5() = 0;
    virtual const char* Reserved6() = 0;
    virtual const char* Reserved7() = 0;
    virtual PtrList* Details() = 0;  // of OrderResponseDetail*, may be null

protected:
    ~OrderResponseRecord() = default;
};

// One bid of an order book entry (element of IPOOrderBookEntry::Bids).
class IPOOrderBid {
public:
    virtual void Reserved0() = 0;
    virtual const char* Reserved1() = 0;
    virtual const char* BidReference() = 0;
    virtual const char* Reserved3() = 0;
    virtual int32_t Quantity() = 0;
    virtual int16_t CutOff() = 0;
    virtual double Price() = 0;  // hundredths
    virtual int32_t FurtherNumber() = 0;
    virtual double AmountPayable() = 0;  // hundredths
    virtual int32_t Position() = 0;      // 0, 1 or 2

protected:
    ~IPOOrderBid() = default;
};

// Answer to request 93, one per order.
class IPOOrderBookEntry {
public:
    virtual void Reserved0() = 0;
    virtual const char* IssueKey() = 0;
    virtual const char* OfferName() = 0;
    virtual const char* OfferType() = 0;
    virtual const char* CategoryCode() = 0;
    virtual int32_t OrderNumber() = 0;
    virtual const char* ApplicationNumber() = 0;
    virtual const char* FurtherText() = 0;
    virtual const char* StatusCode() = 0;
    virtual const char* BidDate() = 0;
    virtual const char* UserReference1() = 0;
    virtual const char* UserReference2() = 0;
    virtual const char* PaymentMode() = 0;
    virtual const char* UPIId() = 0;
    virtual const char* BankName() = 0;
    virtual const char* BankAccount() = 0;
    virtual const char* LastModified() = 0;
    virtual const char* RejectionReason() = 0;
    virtual int32_t AllocatedQuantity() = 0;
    virtual const char* Reserved19() = 0;
    virtual double RefundAmount() = 0;  // currency units
    virtual const char* PaymentStatusCode() = 0;
    virtual double TotalAmountPayable() = 0;  // hundredths
    virtual int32_t LotSize() = 0;
    virtual const char* Reserved24() = 0;
    virtual PtrList* Bids() = 0;  // of IPOOrderBid*, may be null
    virtual const char* ClientName() = 0;

protected:
    ~IPOOrderBookEntry() = default;
};

// Answer to request 95.
class IPOCancelResponse {
public:
    virtual void Reserved0() = 0;
    virtual uint8_t Outcome() = 0;  // 1: cancelled
    virtual const char* Message() = 0;

protected:
    ~IPOCancelResponse() = default;
};

// The companion library's ten entry points, declared once: the companion defines them with
// these signatures, and the plug-in resolves them by these plain names into pointers of the
// types below.
#ifdef _WIN32
#define IPO_COMPANION_API __declspec(dllexport)
#else
#define IPO_COMPANION_API __attribute__((visibility("default")))
#endif

extern "C" {
typedef void (*IPODataCallbackFn)(void* record, uint16_t type);

IPO_COMPANION_API int InitializeCorvexDll(void);
IPO_COMPANION_API int ProcessCall(IPOServiceRequest* request);
IPO_COMPANION_API int SetDataIPOSetCallBackFun(IPODataCallbackFn callback);
IPO_COMPANION_API int GetIPOWatchListInfo(int32_t listKind);
IPO_COMPANION_API int GetIPOWatchDetailsInfo(void);
IPO_COMPANION_API int GetIPOUserDetailsInfo(void);
IPO_COMPANION_API int GetIPOOrderResponse(void);
IPO_COMPANION_API int GetIPOOrderBookListInfo(void);
IPO_COMPANION_API int GetIPOCancelOrderResponse(void);
// Exported as "CleanUp". The plug-in exports a CleanUp of its own with another signature, and
// both headers meet in the plug-in's sources, so the companion's has a distinct name in C++.
IPO_COMPANION_API int CompanionCleanUp(void) __asm__("CleanUp");
}

using InitializeCorvexDllFn = decltype(&InitializeCorvexDll);
using ProcessCallFn = decltype(&ProcessCall);
using SetDataIPOSetCallBackFunFn = decltype(&SetDataIPOSetCallBackFun);
using GetIPOWatchListInfoFn = decltype(&GetIPOWatchListInfo);
// The five getters without arguments share one type.
using GetIPOGetterFn = decltype(&GetIPOWatchDetailsInfo);
static_assert(std::is_same_v<GetIPOGetterFn, decltype(&GetIPOUserDetailsInfo)> &&
              std::is_same_v<GetIPOGetterFn, decltype(&GetIPOOrderResponse)> &&
              std::is_same_v<GetIPOGetterFn, decltype(&GetIPOOrderBookListInfo)> &&
              std::is_same_v<GetIPOGetterFn, decltype(&GetIPOCancelOrderResponse)>);
using CompanionCleanUpFn = decltype(&CompanionCleanUp);
