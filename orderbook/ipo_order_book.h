// The IPO order book view: the user's orders filtered by status and date range, one list row
// per order, with cancel, modify, export, copy, column sizing, grid lines and, for a user who
// acts for clients, the choice of client.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bid/ipo_order_entry.h"
#include "framework/document.h"
#include "framework/form.h"
#include "orderbook/order_book_row.h"

class IPOServiceBridge;
class CIPOGenericFrame;

class CIPOOrderBook : public fw::CView, public fw::ListSource {
  public:
    CIPOOrderBook();
    ~CIPOOrderBook() override;
    CIPOOrderBook(const CIPOOrderBook&) = delete;
    CIPOOrderBook& operator=(const CIPOOrderBook&) = delete;

    void OnInitialUpdate() override;

    // Window events.
    void OnCommand(int id) override;
    void OnSelChange(int id) override;
    void OnColumnClick(int listId, int column) override;
    void OnContextMenu(int controlId) override;
    void OnSize(fw::Size clientSize) override;
    void OnCancel() override;

    // The list's texts.
    std::string CellText(size_t item, int column) const override;
    // The text export and size to fit use: by user type, without order numbers for type 24.
    // It lives as long as the list's rows.
    std::string_view ExportCellText(size_t item, int column) const;
    // The row of the first selected item, or null.
    const tagIPOOrderBookRow* GetSelectedRow() const;

    void OnApply();

    // The context menu and its commands.
    void OnOrderBookContextMenu(int controlId);
    void OnCancelOrder();
    void OnModifyOrder();
    void OnExportCSV();
    void WriteOrderBookFile(const std::string& path);
    void OnCopyToClipboard();
    void OnSizeToFit();
    void OnSizeToHeader();
    void OnGrid();
    void OnChangeClient();

  private:
    CIPOGenericFrame* Frame() const;
    void CreateStatusPanes(CIPOGenericFrame& frame);
    void FillStatusCombo();
    void ClearList();
    void SortList(int column);
    bool FillCancelRequest(const tagIPOOrderBookRow& row, IPOServiceRequest& request) const;
    void ShowCancelResponse();
    tagIPOModifyOrder ModifyRecordFor(const tagIPOOrderBookRow& row) const;
    void LoadIssuePrices(tagIPOModifyOrder& record);
    // Column titles, then one line per item in list order; export cells or list cells.
    std::string ListText(std::string_view separator, std::string_view lineEnd,
                         bool forExport) const;

    IPOServiceBridge* bridge_;
    CIPOOrderEntry orderEntry_;
    int listTopOffset_ = 0;
    bool layoutDone_ = false;
    bool gridLines_ = false;
    std::array<uint16_t, kOrderBookColumnCount> recordedWidths_{};
    std::string SelectedClientCode;
    std::string SelectedClientId;
    std::string SelectedClientName;
    std::string StatusFilterText;
    // The rows of the last Apply in arrival order, in one block: filled and released in one
    // sweep. The list's order is rows_: item i shows *rows_[i].
    std::vector<tagIPOOrderBookRow> rowStore_;
    RowTextStore rowTexts_;
    std::vector<const tagIPOOrderBookRow*> rows_;
};
