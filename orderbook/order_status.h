// The order status vocabulary of the order book: the filter texts of the status combo, the codes
// the service sends and the texts the list shows.
#pragma once

#include <string>
#include <string_view>

// The request code for a filter text of the status combo; empty for an unknown text.
std::string StatusFilterCode(std::string_view filterText);

// The text shown in the "status" column for an order's status code; empty for an unknown code.
std::string_view OrderStatusText(std::string_view statusCode);

// The text shown in the "Payment Status" column for a payment status code; empty when unknown.
std::string_view PaymentStatusText(std::string_view paymentCode);

// True for a status text after which an order can no longer be modified or cancelled.
bool IsOrderFinal(std::string_view statusText);
