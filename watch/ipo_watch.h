// The IPO watch: current, forthcoming or past issues in a sortable list, with a details popup
// and the bid dialog for current issues. A form view on the "IPO WATCH" layout.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/document.h"
#include "framework/form.h"
#include "watch/ipo_watch_row.h"

class CIPOGenericFrame;
class CIPOOrderEntry;
class CIPOWatchDetails;
class IPOServiceBridge;

class CIPOWatch : public fw::CView, public fw::ListSource {
  public:
    static constexpr int kColumnCount = 9;

    CIPOWatch();
    ~CIPOWatch() override;
    CIPOWatch(const CIPOWatch&) = delete;
    CIPOWatch& operator=(const CIPOWatch&) = delete;

    void OnInitialUpdate() override;

    // Window events.
    void OnCommand(int id) override;
    void OnColumnClick(int listId, int column) override;
    void OnItemClick(int listId, int item, int column) override;
    void OnItemChanged(int listId, int item, int column) override;
    void OnContextMenu(int controlId) override;
    void OnSize(fw::Size clientSize) override;
    void OnCancel() override;

    // The list's texts.
    std::string CellText(size_t item, int column) const override;
    int ItemImage(size_t item) const override;

    // Operations of the view.
    void LoadList(IPOWatchMode mode);
    bool CheckDateRange();
    void FormatRequestDates(std::string& fromText, std::string& toText) const;
    void ShowDetails();
    void OpenBidDialog();
    void CopyToClipboard();
    void SizeToFit();
    void SizeToHeader();
    void ToggleGrid();

  private:
    void SwitchMode(IPOWatchMode mode);
    void ClearList();
    void SortList(int column);
    void RowClick(int item, int column);
    void ShowContextMenu();
    void ShowPastModeControls(bool show);
    void ReadDates();
    void WriteDates();
    // The record of the first selected row, or null.
    const IPOWatchRow* SelectedRecord() const;
    bool AnyWidthChanged() const;
    CIPOGenericFrame* Frame() const;

    IPOServiceBridge* bridge_;
    std::unique_ptr<CIPOWatchDetails> details_;
    std::unique_ptr<CIPOOrderEntry> bidDialog_;
    // One record per list row; null for the placeholder row.
    std::vector<std::unique_ptr<IPOWatchRow>> rows_;
    IPOWatchMode mode_ = kWatchCurrent;
    base::Date from_;
    base::Date to_;
    bool pastModeFirstLoad_ = true;
    bool detailsVisible_ = false;
    bool gridLines_ = false;
    std::array<uint16_t, kColumnCount> recordedWidths_{};
    bool fitToTextPending_ = false;
    bool fitToHeaderPending_ = false;
    fw::Point listTopLeft_;
    int listTopOffset_ = 0;
    bool layoutDone_ = false;
};
