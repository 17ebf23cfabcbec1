// The companion library loaded as the plug-in loads it, and what its tests read records with.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <iomanip>
#include <sstream>
#include <string>

#include "base/text.h"
#include "service_harness.h"

namespace companion_test {

using harness::NewRequest;

// A record's fields joined with '|' (the unary plus prints small integers as numbers).
template <class... Field>
std::string Fields(const Field&... fields) {
    std::ostringstream out;
    out << std::setprecision(12);
    ((out << +fields << '|'), ...);
    return out.str();
}
// Element `index` of a list, walked from its head.
template <class Record>
Record* At(const PtrList* list, int index) {
    const PtrListNode* node = list->Head;
    for (; index > 0; --index) {
        node = node->Next;
    }
    return static_cast<Record*>(node->Element);
}

class CompanionTest : public ::testing::Test {
  protected:
    harness::Companion companion;
    int called = -1;  // what the last Watch call returned

    IPOServiceRequest Investor(uint16_t code, const std::string& url) {
        return NewRequest(code, url, 23, "INV001", "INV001", "I001");
    }
    // The current issues' watch list asked of `url`.
    IPOServiceRequest Watch(const std::string& url) {
        IPOServiceRequest request = Investor(91, url);
        base::CopyField(request.Section, "C");
        base::CopyField(request.Product, "IPO");
        called = companion.Call(request);
        return request;
    }
    // A new RETAIL order of INV001 on AURORAGREEN at `price` for 150 shares, paid by UPI.
    IPOServiceRequest Order(const std::string& url, double price) {
        IPOServiceRequest request = Investor(kRequestPlaceOrder, url);
        harness::MakeRetailUpiOrder(request, "rohan.desai@upibank", 150, price);
        return request;
    }
    // Initializes the companion again with the environment variable `name` set (unset: null).
    void Configure(const char* name, const char* value) {
#ifdef _WIN32
        _putenv_s(name, value ? value : "");
#else
        value ? setenv(name, value, 1) : unsetenv(name);
#endif
        companion.Initialize();
    }
    static std::string Message(const IPOServiceRequest& request) {
        return base::FieldText(request.Message);
    }
};

}  // namespace companion_test
