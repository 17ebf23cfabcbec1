// A window built from its layout with the common controls: a child window for child forms, a
// popup window for popup and modal dialogs. Notifications from the controls become
// fw::FormEvents; the list views are virtual and ask their fw::ListSource for every cell.
#pragma once

#include <map>
#include <string>

#include "framework/form.h"
#include "framework/resource.h"
#include "framework/win32/windows_api.h"

namespace fw::win32 {

class Win32Form : public Form {
  public:
    // A child form becomes a child window of `parent` (a top-level window of its own when it is
    // null); popup and modal dialogs become hidden popup windows owned by `parent`.
    Win32Form(const DialogTemplate& layout, FormEvents& events, HWND parent);
    ~Win32Form() override;
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    // The form shown in a window of the form class; null for any other window.
    static Win32Form* In(HWND window);
    // The form a top-level window shows: the window itself, or the form inside a frame.
    static Win32Form* Shown(HWND top);
    HWND window() const { return window_; }
    bool modal() const { return modal_; }
    HWND control(int id) const;
    const DialogTemplate& layout() const { return layout_; }
    Size TemplateSize() const;  // the layout's size in pixels
    int RunModal();             // shows the dialog and runs messages until EndDialog
    // Lets the form's keyboard handling (Tab, Enter, Esc) take a message; true when it did.
    static bool PreTranslate(MSG& message);

    // --- Form ---
    void SetCaption(std::string_view text) override;
    std::string Caption() const override;
    void ShowWindow(bool show) override;
    bool IsWindowVisible() const override;
    void MoveTo(Point screenPosition) override;
    Point Position() const override;
    Size ClientSize() const override;
    Size DialogUnitsToPixels(Size units) const override;
    void EndDialog(int result) override;
    void Repaint() override;
    std::string GetText(int id) const override;
    void SetText(int id, std::string_view text) override;
    void Enable(int id, bool enable) override;
    bool IsEnabled(int id) const override;
    void Show(int id, bool show) override;
    bool IsVisible(int id) const override;
    void SetFocus(int id) override;
    int FocusedControl() const override;
    Rect ControlRect(int id) const override;
    void MoveControl(int id, const Rect& rect) override;
    int TextWidth(int id, std::string_view text) const override;
    void LimitText(int id, int maxCharacters) override;
    void SetCheck(int id, bool checked) override;
    bool GetCheck(int id) const override;
    void ComboReset(int id) override;
    int ComboAdd(int id, std::string_view text) override;
    int ComboCount(int id) const override;
    std::string ComboItem(int id, int index) const override;
    int ComboSelection(int id) const override;
    void ComboSetSelection(int id, int index) override;
    int ComboSelectPrefix(int id, std::string_view text) override;
    void ComboSetDroppedWidth(int id, int pixels) override;
    base::Date GetDate(int id) const override;
    bool SetDate(int id, const base::Date& date) override;
    void ListSetSource(int id, const ListSource* source) override;
    void ListInsertColumn(int id, int column, std::string_view title, int width) override;
    int ListColumnCount(int id) const override;
    std::string ListColumnTitle(int id, int column) const override;
    void ListSetColumnWidth(int id, int column, int width) override;
    int ListColumnWidth(int id, int column) const override;
    void ListAutoSizeColumnToHeader(int id, int column) override;
    void ListSetItemCount(int id, size_t count) override;
    size_t ListItemCount(int id) const override;
    std::vector<size_t> ListSelectedItems(int id) const override;
    void ListSelect(int id, size_t item, bool selected) override;
    void ListSetExtendedStyle(int id, uint32_t add, uint32_t remove) override;
    uint32_t ListExtendedStyle(int id) const override;
    void ListSetImages(int id, ListImages images) override;
    void ListRefresh(int id) override;
    void SetOwnerDrawn(int id, OwnerDrawn* drawer) override;
    void SetToolTip(int id, std::string_view text, bool active) override;
    void ResizeControl(int id, Size pixels) override;

  private:
    struct ListState {
        const ListSource* source = nullptr;
        uint32_t style = 0;
        HIMAGELIST images = nullptr;
        std::wstring cell;  // the text handed to the list for the cell it asked for last
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK LinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR subclass, DWORD_PTR data);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommandMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(const NMHDR& header);
    void OnDrawItem(const DRAWITEMSTRUCT& item);
    void BuildWindow(HWND parent);
    void CreateControl(const ControlEntry& entry);
    void MeasureFont();
    void GrowToFit();
    void Cancel();
    int ControlIdOf(HWND window) const;
    ListState* List(int id);
    const ListState* List(int id) const;
    LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    const DialogTemplate& layout_;
    FormEvents* events_;
    HWND window_ = nullptr;
    HWND toolTip_ = nullptr;
    HFONT font_ = nullptr;
    int baseX_ = 6, baseY_ = 13;  // the layout font's average character width and height
    double growX_ = 1.0;          // the widening every caption needs to show whole in this font
    std::map<int, HWND> controls_;
    std::map<int, ControlKind> kinds_;
    std::map<int, ListState> lists_;
    std::map<int, OwnerDrawn*> drawers_;
    std::string caption_;
    bool modal_ = false;
    bool ended_ = false;
    int result_ = kIdCancel;
};

}  // namespace fw::win32
