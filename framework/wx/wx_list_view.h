// A virtual report list: it keeps no texts and asks its fw::ListSource for every cell it draws.
#pragma once

#include <wx/listctrl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/form.h"

namespace fw::wx {

// The 75 x 25 "Place Bid" image: a blue button face with a white caption.
wxBitmap DrawPlaceBidImage();

class FwListView : public wxListCtrl {
  public:
    FwListView(wxWindow* parent, int id, const wxRect& rect, bool singleSelection);

    void SetSource(const ListSource* source) { source_ = source; }
    void SetImages(ListImages images);
    void SetExtendedStyle(uint32_t style);
    uint32_t extendedStyle() const { return extendedStyle_; }
    std::vector<size_t> SelectedItems() const;
    void ClearSelection();

    // The window that shows the rows (the header is a sibling of it).
    wxWindow* RowsWindow() const { return rowsWindow_; }
    // The item and column under a point of the rows window; -1 where there is none.
    void HitCell(const wxPoint& point, long& item, long& column) const;

    // Called after a left click on the rows has been handled, with the item and column hit.
    std::function<void(long item, long column)> onItemClick;

  protected:
    wxString OnGetItemText(long item, long column) const override;
    int OnGetItemImage(long item) const override;
    int OnGetItemColumnImage(long item, long column) const override;

  private:
    void OnRowsLeftDown(wxMouseEvent& event);
    wxString CutToFit(const std::string& text, int width) const;

    const ListSource* source_ = nullptr;
    ListImages images_ = ListImages::None;
    uint32_t extendedStyle_ = 0;
    wxWindow* rowsWindow_ = nullptr;
    mutable std::vector<int> charWidths_;  // of the printable ASCII letters in the list's font
    mutable int ellipsisWidth_ = 0;
};

}  // namespace fw::wx
