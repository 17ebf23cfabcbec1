#include "orderbook/order_status.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

using TextPair = std::pair<std::string_view, std::string_view>;

std::string_view Lookup(const auto& table, std::string_view key) {
    const auto found = std::find_if(table.begin(), table.end(),
                                    [key](const TextPair& p) { return p.first == key; });
    return found == table.end() ? std::string_view() : found->second;
}

}  // namespace

std::string StatusFilterCode(std::string_view filterText) {
    static constexpr std::array<TextPair, 7> kCodes{{
        {"(ALL)", "-1"},
        {"PENDING", "P"},
        {"CONFIRMED", "CF"},
        {"REJECTED", "REJ"},
        {"MODIFIED", "M"},
        {"CANCELLED", "C"},
        {"ADMIN CANCELLED", "A"},
    }};
    return std::string(Lookup(kCodes, filterText));
}

std::string_view OrderStatusText(std::string_view statusCode) {
    static constexpr std::array<TextPair, 8> kTexts{{
        {"P", "PENDING"},
        {"CF", "CONFIRMED"},
        {"REJ", "REJECTED"},
        {"M", "MODIFIED"},
        {"C", "CANCELLED"},
        {"UC", "CANCELLED"},
        {"A", "CANCELLED"},
        {"-1", "(ALL)"},
    }};
    return Lookup(kTexts, statusCode);
}

std::string_view PaymentStatusText(std::string_view paymentCode) {
    static constexpr std::array<TextPair, 3> kTexts{{
        {"P", "PENDING"},
        {"e", "SUCCESS"},
        {"F", "FAILED"},
    }};
    return Lookup(kTexts, paymentCode);
}

bool IsOrderFinal(std::string_view statusText) {
    static constexpr std::array<std::string_view, 10> kFinal{
        "CONFIRMED",
        "REJECTED",
        "CANCELLED",
        "CANCELLATION REQUEST",
        "EXCHANGE REJECTED",
        "MODIFICATION REJECTION",
        "CANCELLATION REJECTION",
        "USER CANCELLED",
        "EXCHANGE CANCELLED",
        "ADMIN CANCELLED",
    };
    return std::find(kFinal.begin(), kFinal.end(), statusText) != kFinal.end();
}
