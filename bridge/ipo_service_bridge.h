// The binding to the companion library and the six service requests. Every request returns
// the shared result list, or null after it has shown its own message.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "bridge/companion_abi.h"

// The answer records delivered for the last request, in delivery order. The records belong to
// the companion library; the plug-in only lists their addresses.
using IPOResultList = std::vector<void*>;

class IPOServiceBridge;

// The process's bridge, created (empty, not loaded) on first demand.
IPOServiceBridge* GetServiceBridge();
// Loads the companion library from the working directory into the bridge (once per bridge).
void InitializeServiceBridge();
// Calls the companion's CleanUp and destroys the bridge.
void DestroyServiceBridge();

IPOResultList& ResultList();
void ClearResultList();

// The non-null records of a request's result, in delivery order; the shared list is then
// emptied. A failed request (null) gives none and leaves the list alone.
template <class Record>
std::vector<Record*> TakeResults(const IPOResultList* list) {
    std::vector<Record*> records;
    if (list) {
        for (void* record : *list) {
            if (record) {
                records.push_back(static_cast<Record*>(record));
            }
        }
        ClearResultList();
    }
    return records;
}

IPOResultList* RequestIPOWatchList(IPOServiceBridge* bridge, const uint16_t* requestCode,
                                   std::string_view clientCode, std::string_view clientId,
                                   const int32_t* listKind, std::string_view fromDate,
                                   std::string_view toDate);
IPOResultList* RequestIPOWatchDetails(IPOServiceBridge* bridge, const uint16_t* requestCode,
                                      std::string_view clientCode, std::string_view clientId,
                                      std::string_view issueKey);
IPOResultList* RequestIPOOrderBook(IPOServiceBridge* bridge, const uint16_t* requestCode,
                                   std::string_view clientCode, std::string_view clientId,
                                   IPOServiceRequest& request);
IPOResultList* RequestIPOPlaceOrder(IPOServiceBridge* bridge, const uint16_t* requestCode,
                                    std::string_view clientCode, std::string_view clientId,
                                    IPOServiceRequest& request);
IPOResultList* RequestIPOCancelOrder(IPOServiceBridge* bridge, const uint16_t* requestCode,
                                     std::string_view clientCode, std::string_view clientId,
                                     IPOServiceRequest& request);
IPOResultList* RequestIPOUserDetails(IPOServiceBridge* bridge, const uint16_t* requestCode,
                                     std::string_view clientCode, std::string_view clientId);

// Walks a pointer list of answer records from head to tail, skipping null elements.
template <class Record, class Visit>
void ForEachRecord(const PtrList* list, Visit visit) {
    if (!list || list->Count < 1) {
        return;
    }
    for (const PtrListNode* node = list->Head; node; node = node->Next) {
        if (node->Element) {
            visit(static_cast<Record*>(node->Element));
        }
    }
}
