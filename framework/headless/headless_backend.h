// The in-memory backend: every control remembers its state, message boxes are recorded and
// answered, the clipboard is a string and the clock is settable. Tests drive windows through
// the user actions of HeadlessForm (click, type, leave a box, pick, choose) and read back what
// a user would see.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "framework/backend.h"
#include "framework/document.h"

namespace fw::headless {

struct Control {
    ControlEntry entry{};
    std::string text;
    bool enabled = true;
    bool visible = true;
    bool checked = false;
    int limit = 0;  // 0: no limit
    std::vector<std::string> items;
    int selection = -1;
    int droppedWidth = 0;
    base::Date date{};
    std::vector<std::pair<std::string, int>> columns;  // title, width
    size_t itemCount = 0;
    std::set<size_t> selected;
    uint32_t extendedStyle = 0;
    ListImages images = ListImages::None;
    const ListSource* source = nullptr;
    OwnerDrawn* drawer = nullptr;
    std::string toolTip;
    bool toolTipActive = false;
    Rect rect{};
    int refreshes = 0;
};

class HeadlessFrame;

class HeadlessForm : public Form {
  public:
    HeadlessForm(const DialogTemplate& layout, FormEvents& events);
    ~HeadlessForm() override;

    // --- what a user does ---
    void Click(int id);                        // button, check box, radio button, link
    void Type(int id, std::string_view text);  // focus the box, replace its text
    void Focus(int id);                        // moves the focus; the old control loses it
    void PressEnter();                         // the default button, the focus stays
    void PressEscape();
    void PressTab();  // the focus moves to the next control that takes it
    void SelectComboItem(int id, int index);
    bool PickDate(int id, const base::Date& date);
    void ClickItem(int listId, int item, int column);
    void SelectItems(int listId, const std::vector<size_t>& items);
    void ClickColumn(int listId, int column);
    void RightClick(int id);

    // --- what a user sees ---
    const Control& control(int id) const;
    std::vector<std::string> ComboItems(int id) const;
    std::string ComboText(int id) const;
    std::string Cell(int listId, size_t item, int column) const;
    std::vector<std::vector<std::string>> Rows(int listId) const;
    bool ended() const { return ended_; }
    int result() const { return result_; }
    const DialogTemplate& layout() const { return layout_; }

    // --- Form ---
    void SetCaption(std::string_view text) override { caption_ = text; }
    std::string Caption() const override { return caption_; }
    void ShowWindow(bool show) override;
    bool IsWindowVisible() const override { return visible_; }
    void MoveTo(Point screenPosition) override { position_ = screenPosition; }
    Point Position() const override { return position_; }
    Size ClientSize() const override { return clientSize_; }
    Size DialogUnitsToPixels(Size units) const override;
    void EndDialog(int result) override;
    void Repaint() override { ++repaints_; }
    std::string GetText(int id) const override;
    void SetText(int id, std::string_view text) override;
    void Enable(int id, bool enable) override;
    bool IsEnabled(int id) const override;
    void Show(int id, bool show) override;
    bool IsVisible(int id) const override;
    void SetFocus(int id) override;
    int FocusedControl() const override { return focus_; }
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

    int repaints() const { return repaints_; }
    // What the user reads on the window's title bar: the frame's title for a form in a frame.
    std::string Title() const;
    void PlaceInFrame(const HeadlessFrame* frame) { frame_ = frame; }

    // Width in pixels of a text in every control's font: 6 pixels a character.
    static constexpr int kCharWidth = 6;

  private:
    Control& At(int id);
    const Control& At(int id) const;
    void MoveFocus(int id);

    const DialogTemplate& layout_;
    FormEvents& events_;
    std::map<int, Control> controls_;
    std::string caption_;
    bool visible_ = false;
    Point position_{};
    Size clientSize_{};
    int focus_ = 0;
    const HeadlessFrame* frame_ = nullptr;
    bool ended_ = false;
    int result_ = 0;
    int repaints_ = 0;
};

struct RecordedMessage {
    std::string text;
    MessageIcon icon = MessageIcon::None;
    std::string owner;  // caption of the window in front when the box opened
};

class HeadlessBackend : public Backend {
  public:
    HeadlessBackend();  // installs itself as the process's backend
    ~HeadlessBackend() override;

    // --- Backend ---
    std::unique_ptr<Form> CreateForm(const DialogTemplate& layout, FormEvents& events) override;
    int DoModal(const DialogTemplate& layout, FormEvents& events, Form* owner) override;
    int MessageBox(std::string_view text, MessageIcon icon) override;
    bool SetClipboardText(std::string_view text) override;
    std::optional<std::string> SaveFileDialog(const SaveFileRequest& request) override;
    int TrackPopupMenu(const Menu& menu, Form& owner) override;
    void BeginWaitCursor() override {
        ++waitDepth;
        ++waitCursors;
    }
    void EndWaitCursor() override { --waitDepth; }
    LocalTime Now() const override { return now; }

    // --- what a test sets and reads ---
    std::vector<RecordedMessage> messages;
    // Called while a message box is up, before it is answered.
    std::function<void(const RecordedMessage&)> onMessageBox;
    std::string clipboard;
    bool clipboardAvailable = true;
    std::optional<std::string> saveFileAnswer;
    std::vector<SaveFileRequest> saveFileRequests;
    std::vector<Menu> shownMenus;
    int menuAnswer = 0;  // the command the user picks from the next popup menu
    int waitDepth = 0;
    int waitCursors = 0;
    LocalTime now{2026, 12, 5, 10, 0, 0};
    // Drives a modal dialog while it runs: the user's actions, ending with EndDialog. Handlers
    // are used in the order they were queued; without one a modal dialog ends with Cancel.
    std::vector<std::function<void(HeadlessForm&)>> modalHandlers;
    std::vector<std::string> modalCaptions;

    // While a user driver runs the windows, a modal dialog, a message box or a popup menu waits
    // here (running the driver's tasks) until the user has ended it, instead of being answered
    // at once.
    std::function<void(const std::function<bool()>& answered)> waitForUser;
    bool messageBoxOpen = false;
    bool menuOpen = false;
    bool saveDialogOpen = false;

    // Open windows; the one shown or focused last is at the back (in front of the others).
    std::vector<HeadlessForm*> forms;
    // The visible window in front, or null.
    HeadlessForm* FrontForm() const;
    void BringToFront(HeadlessForm* form);
    HeadlessForm* FindForm(std::string_view caption) const;
    std::vector<std::string> MessageTexts() const;
    std::string LastMessage() const;
};

// Paint calls as a test reads them.
struct PaintCall {
    std::string op;  // "fill", "frame", "text", "font", "colour", "transparent"
    Rect rect{};
    Colour colour{};
    std::string text;
    bool embossed = false;
};

class RecordingPainter : public Painter {
  public:
    void FillRect(const Rect& rect, Colour colour) override {
        calls.push_back({"fill", rect, colour, {}, false});
    }
    void FrameRect(const Rect& rect, Colour colour) override {
        calls.push_back({"frame", rect, colour, {}, false});
    }
    Size MeasureText(std::string_view text) override;
    void SetFont(const FontSpec& font) override;
    void SetTextColour(Colour colour) override {
        calls.push_back({"colour", {}, colour, {}, false});
    }
    void SetTransparentBackground(bool transparent) override;
    void DrawText(Point at, Size size, std::string_view text, bool embossed) override;

    std::vector<PaintCall> calls;
    FontSpec font;
    int textHeight = 17;
};

class HeadlessStatusBar : public StatusBar {
  public:
    HeadlessStatusBar(StatusBarKind kind, StatusBarPainter* painter)
        : kind_(kind), painter_(painter) {}

    bool SetPaneCount(int count) override;
    int PaneCount() const override { return static_cast<int>(panes_.size()); }
    void SetPaneInfo(int pane, int commandId, int style, int width) override;
    void SetPaneText(int pane, std::string_view text) override;
    std::string PaneText(int pane) const override;
    Rect ItemRect(int pane) const override;
    Rect ClientRect() const override { return client_; }

    StatusBarKind kind() const { return kind_; }
    void SetClientRect(const Rect& rect) { client_ = rect; }
    // Paints the bar as the backend would on a paint message; owner-drawn bars only.
    std::vector<PaintCall> Paint();

  private:
    struct Pane {
        int id = 0, style = 0, width = 0;
        std::string text;
    };
    StatusBarKind kind_;
    StatusBarPainter* painter_;
    std::vector<Pane> panes_;
    Rect client_{0, 0, 800, 20};
};

class HeadlessFrame : public FrameSite {
  public:
    explicit HeadlessFrame(Size windowSize = {800, 500}) : size_(windowSize) {}

    void SetTitle(std::string_view title) override { title_ = title; }
    void RemoveMaximizeBox() override { maximizeBox_ = false; }
    Size WindowSize() const override { return size_; }
    void FitToForm() override { ++fits_; }
    void RecalcLayout() override {}
    StatusBar* CreateStatusBar(StatusBarKind kind, StatusBarPainter* painter) override;
    void* NativeHandle() override { return this; }
    void PostClose() override { ++closePosts_; }
    bool HasWindow() const override { return hasWindow_; }
    void CloseFrame() override { hasWindow_ = false; }

    const std::string& title() const { return title_; }
    bool maximizeBox() const { return maximizeBox_; }
    HeadlessStatusBar* statusBar() const { return bar_.get(); }
    int closePosts() const { return closePosts_; }
    int fits() const { return fits_; }
    bool failStatusBar = false;  // the next CreateStatusBar fails

  private:
    std::string title_;
    bool maximizeBox_ = true;
    Size size_;
    std::unique_ptr<HeadlessStatusBar> bar_;
    int closePosts_ = 0;
    int fits_ = 0;
    bool hasWindow_ = true;
};

// A plug-in window opened the way a host opens it: frame and view made by their runtime
// classes, the form built from its layout, then the view's initial update.
class OpenedWindow {
  public:
    OpenedWindow(const RuntimeClass& viewClass, const RuntimeClass& frameClass, int formId,
                 Size frameSize = {800, 500});
    ~OpenedWindow();

    CView& view() const { return *view_; }
    CFrameWnd& frame() const { return *frame_; }
    HeadlessFrame& site() { return site_; }
    HeadlessForm& form() const { return *form_; }

    template <class T>
    T& viewAs() const {
        return dynamic_cast<T&>(*view_);
    }

  private:
    HeadlessFrame site_;
    std::unique_ptr<CFrameWnd> frame_;
    std::unique_ptr<CView> view_;
    std::unique_ptr<HeadlessForm> form_;
};

}  // namespace fw::headless
