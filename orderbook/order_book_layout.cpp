#include "orderbook/order_book_layout.h"

#include "plugin/host_abi.h"
#include "plugin/runtime_classes.h"

namespace {

using fw::ControlKind;

constexpr uint32_t kPickerStyle = fw::kStyleShortDate | fw::kStyleCalendarRight | fw::kStyleTabStop;

constexpr fw::ControlEntry kOrderBookControls[] = {
    {kOrderBookStatus, ControlKind::ComboDropList, "", 3, 16, 94, 77,
     fw::kStyleSorted | fw::kStyleTabStop},
    {kOrderBookFromDate, ControlKind::DatePicker, "", 106, 16, 59, 13, kPickerStyle},
    {kOrderBookToDate, ControlKind::DatePicker, "", 178, 16, 58, 13, kPickerStyle},
    {kOrderBookApply, ControlKind::Button, "Apply", 245, 15, 56, 14, fw::kStyleTabStop},
    {1018, ControlKind::Static, "Order Status", 11, 4, 42, 8, 0},
    {1020, ControlKind::Static, "From Date", 112, 3, 38, 8, 0},
    {1021, ControlKind::Static, "To Date", 188, 5, 29, 8, 0},
    {kOrderBookList, ControlKind::ListView, "", 0, 32, 398, 77,
     fw::kStyleReport | fw::kStyleBorder | fw::kStyleTabStop},
};

constexpr fw::DialogTemplate kOrderBookForm{
    static_cast<int>(kFormIPOOrderBook),
    fw::FormKind::ChildForm,
    "Order Book",
    "MS Shell Dlg",
    8,
    397,
    106,
    kOrderBookControls,
};

}  // namespace

const fw::DialogTemplate& OrderBookFormLayout() {
    return kOrderBookForm;
}

fw::Menu OrderBookMenu() {
    return {"OrderBook",
            {
                {kCommandExportCSV, "Export To CSV"},
                {kCommandModify, "Modify"},
                {kCommandCancel, "Cancel"},
                {kCommandSizeToFit, "Size To Fit"},
                {kCommandSizeToHeader, "Size To Header"},
                {kCommandGrid, "Grid"},
                {kCommandChangeClient, "Change Client"},
            }};
}
