// The control surface of one window built from a DialogTemplate, and the events a window
// delivers to the view or dialog that owns it. Views and dialogs see controls only through this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/date.h"

namespace fw {

struct Point {
    int x = 0;
    int y = 0;
};

struct Size {
    int width = 0;
    int height = 0;
};

// Extended styles of a list view.
enum ListStyle : uint32_t {
    kListGridLines = 1u << 0,
    kListFullRowSelect = 1u << 1,
    kListHeaderDragDrop = 1u << 2,
};

// Images a list can show in its first column.
enum class ListImages {
    None,      // no image list; default row height
    Blank,     // an image list of 75 x 25 without images: rows 25 pixels high
    PlaceBid,  // one 75 x 25 image, a blue button face with the white caption "Place Bid"
};

// Supplies the texts of a virtual list: the list keeps no texts of its own.
class ListSource {
public:
    virtual std::string CellText(size_t item, int column) const = 0;
    // Image index for column 0 of an item, or -1 for none.
    virtual int ItemImage(size_t /*item*/) const { return -1; }

protected:
    ~ListSource() = default;
};

class Form;

// Events a window reports to its owner. Every handler has an empty default.
class FormEvents {
public:
    virtual void OnInitDialog(Form& /*form*/) {}
    virtual void OnCommand(int /*id*/) {}     // button clicked, menu command chosen
    virtual void OnKillFocus(int /*id*/) {}   // a control lost the keyboard focus
    virtual void OnSelChange(int /*id*/) {}   // combo box selection changed
    virtual void OnColumnClick(int /*listId*/, int /*column*/) {}
    virtual void OnItemClick(int /*listId*/, int /*item*/, int /*column*/) {}
    virtual void OnItemChanged(int /*listId*/, int /*item*/, int /*column*/) {}
    virtual void OnContextMenu(int /*controlId*/) {}  // 0: the window itself
    virtual void OnSize(Size /*clientSize*/) {}
    virtual void OnCancel() {}  // Esc or the system close command
    virtual void OnOK() {}      // Enter on the default button

protected:
    ~FormEvents() = default;
};

// What an owner-drawn control or bar draws through: the backend records or renders the calls.
struct Colour {
    uint8_t red = 0, green = 0, blue = 0;
    friend bool operator==(const Colour&, const Colour&) = default;
};

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct FontSpec {
    std::string face;
    int height = 0;  // pixels
    int weight = 400;
    bool italic = false;
    bool underline = false;
    int charSet = 0;         // ANSI
    int outPrecision = 1;    // string precision
    int clipPrecision = 2;   // stroke precision
    int quality = 1;
    int pitchAndFamily = 0x22;  // variable pitch, Swiss family
};

class Painter {
public:
    virtual void FillRect(const Rect& rect, Colour colour) = 0;
    virtual void FrameRect(const Rect& rect, Colour colour) = 0;  // one-pixel frame
    virtual Size MeasureText(std::string_view text) = 0;
    virtual void SetFont(const FontSpec& font) = 0;
    virtual void SetTextColour(Colour colour) = 0;
    virtual void SetTransparentBackground(bool transparent) = 0;
    virtual void DrawText(Point at, Size size, std::string_view text, bool embossed) = 0;

protected:
    ~Painter() = default;
};

struct DrawItemInfo {
    Rect itemRect;
    bool disabledOnly = false;  // the item state is exactly "disabled"
};

// A control that draws itself (link button).
class OwnerDrawn {
public:
    virtual void DrawItem(Painter& painter, const DrawItemInfo& info) = 0;
    virtual void OnLeftButtonDown() = 0;

protected:
    ~OwnerDrawn() = default;
};

class Form {
public:
    virtual ~Form() = default;

    // The window itself.
    virtual void SetCaption(std::string_view text) = 0;
    virtual std::string Caption() const = 0;
    virtual void ShowWindow(bool show) = 0;
    virtual bool IsWindowVisible() const = 0;
    virtual void MoveTo(Point screenPosition) = 0;  // keeps the size
    virtual Point Position() const = 0;
    virtual Size ClientSize() const = 0;  // pixels
    virtual Size DialogUnitsToPixels(Size units) const = 0;
    virtual void EndDialog(int result) = 0;  // modal dialogs
    virtual void Repaint() = 0;

    // Any control.
    virtual std::string GetText(int id) const = 0;
    virtual void SetText(int id, std::string_view text) = 0;
    virtual void Enable(int id, bool enable) = 0;
    virtual bool IsEnabled(int id) const = 0;
    virtual void Show(int id, bool show) = 0;
    virtual bool IsVisible(int id) const = 0;
    virtual void SetFocus(int id) = 0;
    virtual int FocusedControl() const = 0;  // 0 when none
    virtual Rect ControlRect(int id) const = 0;  // pixels, in the form's client area
    virtual void MoveControl(int id, const Rect& rect) = 0;
    virtual int TextWidth(int id, std::string_view text) const = 0;  // in the control's font

    // Edit boxes.
    virtual void LimitText(int id, int maxCharacters) = 0;

    // Check boxes and radio buttons.
    virtual void SetCheck(int id, bool checked) = 0;
    virtual bool GetCheck(int id) const = 0;

    // Drop-down lists.
    virtual void ComboReset(int id) = 0;
    virtual int ComboAdd(int id, std::string_view text) = 0;  // index where it landed
    virtual int ComboCount(int id) const = 0;
    virtual std::string ComboItem(int id, int index) const = 0;
    virtual int ComboSelection(int id) const = 0;  // -1 for none
    virtual void ComboSetSelection(int id, int index) = 0;
    // Selects the first entry that begins with the text, ignoring case; its index or -1.
    virtual int ComboSelectPrefix(int id, std::string_view text) = 0;
    virtual void ComboSetDroppedWidth(int id, int pixels) = 0;

    // Date pickers. A date before 1 January 1970 is refused (false, nothing changes).
    virtual base::Date GetDate(int id) const = 0;
    virtual bool SetDate(int id, const base::Date& date) = 0;

    // List views (virtual: texts come from the ListSource).
    virtual void ListSetSource(int id, const ListSource* source) = 0;
    virtual void ListInsertColumn(int id, int column, std::string_view title, int width) = 0;
    virtual int ListColumnCount(int id) const = 0;
    virtual std::string ListColumnTitle(int id, int column) const = 0;
    virtual void ListSetColumnWidth(int id, int column, int width) = 0;
    virtual int ListColumnWidth(int id, int column) const = 0;
    virtual void ListAutoSizeColumnToHeader(int id, int column) = 0;
    virtual void ListSetItemCount(int id, size_t count) = 0;  // clears the selection
    virtual size_t ListItemCount(int id) const = 0;
    virtual std::vector<size_t> ListSelectedItems(int id) const = 0;  // ascending
    virtual void ListSelect(int id, size_t item, bool selected) = 0;
    virtual void ListSetExtendedStyle(int id, uint32_t add, uint32_t remove) = 0;
    virtual uint32_t ListExtendedStyle(int id) const = 0;
    virtual void ListSetImages(int id, ListImages images) = 0;
    virtual void ListRefresh(int id) = 0;  // texts or order changed

    // Owner-drawn controls and tooltips.
    virtual void SetOwnerDrawn(int id, OwnerDrawn* drawer) = 0;
    virtual void SetToolTip(int id, std::string_view text, bool active) = 0;
    virtual void ResizeControl(int id, Size pixels) = 0;  // keeps position and z-order
};

// Dialog results.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

}  // namespace fw
