// A window built from its layout with real wx controls: a panel for child forms, a dialog for
// popup and modal dialogs. User actions on the controls become fw::FormEvents.
#pragma once

#include <wx/window.h>

#include <map>
#include <memory>
#include <set>
#include <string>

#include "framework/form.h"
#include "framework/resource.h"

class wxDialog;
class wxFrame;

namespace fw::wx {

class FwListView;

class WxForm : public Form {
  public:
    // Child forms become a panel inside `parent` (inside a frame of their own when it is null);
    // popup and modal dialogs become hidden top-level dialogs owned by `parent`.
    WxForm(const DialogTemplate& layout, FormEvents& events, wxWindow* parent);
    ~WxForm() override;
    WxForm(const WxForm&) = delete;
    WxForm& operator=(const WxForm&) = delete;

    wxWindow* window() const { return window_; }
    // The form shown in a window: the form's own window, or the frame holding it; null if none.
    static WxForm* In(const wxWindow* window);
    wxWindow* control(int id) const;
    const DialogTemplate& layout() const { return layout_; }
    Size TemplateSize() const;  // the layout's size in pixels
    int ShowModal();            // modal dialogs: shows and runs until EndDialog
    void NotifySize();          // reports the present client size to the owner

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
    // What the wx handlers reach the form and its owner through; cleared when the form goes,
    // so that a late event (the window is destroyed after the form) reaches nobody.
    struct Link {
        WxForm* form = nullptr;
        FormEvents* events = nullptr;
        bool menuAsked = false;  // a popup menu is to open once the right-click is handled
    };

    void BuildWindow(wxWindow* parent);
    void CreateControl(const ControlEntry& entry);
    wxRect Place(const ControlEntry& entry) const;
    wxSize Needed(const ControlEntry& entry) const;
    void GrowToFit();
    void Scale(double growX, double growY);
    void GrowForContent(const ControlEntry& entry, const wxString& text);
    void BindControl(wxWindow* control, const ControlEntry& entry);
    void SetStaticText(int id, std::string_view text);
    void OnCharHook(wxKeyEvent& event);
    void KeepKeyboard();
    void AskContextMenu(int id);
    void Cancel();
    wxDialog* dialog() const;
    FwListView* List(int id) const;
    template <class T>
    T* As(int id) const;

    const DialogTemplate& layout_;
    // Pixels per dialog unit: the layout font's base units, times the growth each axis needs
    // for GTK's controls and the texts they show.
    double baseX_ = 1.5, baseY_ = 1.625;
    double growX_ = 1.0, growY_ = 1.0;
    std::shared_ptr<Link> link_;
    wxWindow* window_ = nullptr;
    wxFrame* ownFrame_ = nullptr;  // the frame a child form without a parent lives in
    std::map<int, wxWindow*> controls_;
    std::map<int, ControlKind> kinds_;
    std::map<int, std::string> staticTexts_;  // as set, before wrapping
    std::set<int> sortedCombos_;
    std::string caption_;
    bool ended_ = false;
};

}  // namespace fw::wx
