#include "framework/headless/headless_backend.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace fw::headless {
namespace {

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    return true;
}

HeadlessBackend* g_headless = nullptr;

}  // namespace

// ---------------------------------------------------------------- HeadlessForm

HeadlessForm::HeadlessForm(const DialogTemplate& layout, FormEvents& events)
    : layout_(layout), events_(events), caption_(layout.caption ? layout.caption : "") {
    clientSize_ = DialogUnitsToPixels({layout.width, layout.height});
    visible_ = layout.kind == FormKind::ChildForm;
    for (const ControlEntry& entry : layout.controls) {
        Control control;
        control.entry = entry;
        control.text = entry.text ? entry.text : "";
        control.enabled = (entry.style & kStyleDisabled) == 0;
        control.visible = (entry.style & kStyleHidden) == 0;
        const Size topLeft = DialogUnitsToPixels({entry.x, entry.y});
        const Size size = DialogUnitsToPixels({entry.width, entry.height});
        control.rect = {topLeft.width, topLeft.height, topLeft.width + size.width,
                        topLeft.height + size.height};
        if (entry.kind == ControlKind::DatePicker) {
            control.date = {2026, 1, 1};
        }
        controls_[entry.id] = std::move(control);
    }
    if (g_headless) {
        g_headless->forms.push_back(this);
    }
}

HeadlessForm::~HeadlessForm() {
    if (g_headless) {
        std::erase(g_headless->forms, this);
    }
}

Control& HeadlessForm::At(int id) {
    auto found = controls_.find(id);
    if (found == controls_.end()) {
        throw std::out_of_range("no control " + std::to_string(id) + " on " + caption_);
    }
    return found->second;
}

const Control& HeadlessForm::At(int id) const {
    return const_cast<HeadlessForm*>(this)->At(id);
}

const Control& HeadlessForm::control(int id) const {
    return At(id);
}

void HeadlessForm::MoveFocus(int id) {
    if (focus_ == id) {
        return;
    }
    const int previous = focus_;
    focus_ = id;
    if (previous != 0) {
        events_.OnKillFocus(previous);
    }
}

void HeadlessForm::Click(int id) {
    Control& c = At(id);
    if (!c.enabled || !c.visible) {
        return;
    }
    MoveFocus(id);
    switch (c.entry.kind) {
        case ControlKind::CheckBox:
            c.checked = !c.checked;
            break;
        case ControlKind::RadioButton: {
            // An automatic radio button checks itself and clears the others of its group.
            auto self = std::find_if(layout_.controls.begin(), layout_.controls.end(),
                                     [id](const ControlEntry& s) { return s.id == id; });
            auto start = self;
            while (start != layout_.controls.begin() && !(start->style & kStyleGroup)) {
                --start;
            }
            for (auto it = start;
                 it != layout_.controls.end() && it->kind == ControlKind::RadioButton; ++it) {
                if (it != start && (it->style & kStyleGroup)) {
                    break;
                }
                controls_[it->id].checked = it->id == id;
            }
            break;
        }
        case ControlKind::LinkButton:
            if (c.drawer) {
                c.drawer->OnLeftButtonDown();
            }
            break;
        default:
            break;
    }
    events_.OnCommand(id);
}

void HeadlessForm::Type(int id, std::string_view text) {
    Control& c = At(id);
    if (!c.enabled || !c.visible) {
        return;
    }
    MoveFocus(id);
    std::string typed(text);
    if (c.entry.style & kStyleUppercase) {
        for (char& ch : typed) {
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        }
    }
    if (c.limit > 0 && typed.size() > static_cast<size_t>(c.limit)) {
        typed.resize(static_cast<size_t>(c.limit));
    }
    c.text = typed;
}

void HeadlessForm::Focus(int id) {
    const Control& c = At(id);
    if (c.enabled && c.visible) {
        MoveFocus(id);
    }
}

void HeadlessForm::PressEnter() {
    // Enter presses the focused button; anywhere else it is the dialog's OK.
    const bool onButton = focus_ != 0 && (At(focus_).entry.kind == ControlKind::Button ||
                                          At(focus_).entry.kind == ControlKind::DefaultButton);
    if (onButton) {
        Click(focus_);
    } else {
        events_.OnOK();
    }
}

void HeadlessForm::PressEscape() {
    events_.OnCancel();
}

std::string HeadlessForm::Title() const {
    return frame_ ? frame_->title() : caption_;
}

void HeadlessForm::PressTab() {
    const auto& entries = layout_.controls;
    const auto current = std::find_if(entries.begin(), entries.end(),
                                      [this](const ControlEntry& e) { return e.id == focus_; });
    // From the focused control, or from the start when none has the focus.
    const size_t start = current == entries.end() ? entries.size() - 1
                                                  : static_cast<size_t>(current - entries.begin());
    for (size_t step = 1; step <= entries.size(); ++step) {
        const ControlEntry& next = entries[(start + step) % entries.size()];
        const Control& c = At(next.id);
        if ((next.style & kStyleTabStop) && c.enabled && c.visible) {
            MoveFocus(next.id);
            return;
        }
    }
}

void HeadlessForm::ShowWindow(bool show) {
    visible_ = show;
    if (show && g_headless) {
        g_headless->BringToFront(this);
    }
}

void HeadlessForm::SelectComboItem(int id, int index) {
    Control& c = At(id);
    if (!c.enabled) {
        return;
    }
    MoveFocus(id);
    c.selection = index;
    events_.OnSelChange(id);
}

bool HeadlessForm::PickDate(int id, const base::Date& date) {
    MoveFocus(id);
    return SetDate(id, date);
}

void HeadlessForm::ClickItem(int listId, int item, int column) {
    Control& c = At(listId);
    MoveFocus(listId);
    if (item >= 0 && static_cast<size_t>(item) < c.itemCount) {
        const bool changed =
            !(c.selected.size() == 1 && c.selected.count(static_cast<size_t>(item)));
        c.selected = {static_cast<size_t>(item)};
        if (changed) {
            events_.OnItemChanged(listId, item, column);
        }
    }
    events_.OnItemClick(listId, item, column);
}

void HeadlessForm::SelectItems(int listId, const std::vector<size_t>& items) {
    Control& c = At(listId);
    c.selected.clear();
    for (size_t item : items) {
        if (item < c.itemCount) {
            c.selected.insert(item);
        }
    }
}

void HeadlessForm::ClickColumn(int listId, int column) {
    events_.OnColumnClick(listId, column);
}

void HeadlessForm::RightClick(int id) {
    events_.OnContextMenu(id);
}

std::vector<std::string> HeadlessForm::ComboItems(int id) const {
    return At(id).items;
}

std::string HeadlessForm::ComboText(int id) const {
    const Control& c = At(id);
    return c.selection >= 0 && static_cast<size_t>(c.selection) < c.items.size()
               ? c.items[static_cast<size_t>(c.selection)]
               : "";
}

std::string HeadlessForm::Cell(int listId, size_t item, int column) const {
    const Control& c = At(listId);
    return c.source && item < c.itemCount ? c.source->CellText(item, column) : "";
}

std::vector<std::vector<std::string>> HeadlessForm::Rows(int listId) const {
    const Control& c = At(listId);
    std::vector<std::vector<std::string>> rows;
    for (size_t item = 0; item < c.itemCount; ++item) {
        std::vector<std::string> row;
        for (size_t column = 0; column < c.columns.size(); ++column) {
            row.push_back(Cell(listId, item, static_cast<int>(column)));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

Size HeadlessForm::DialogUnitsToPixels(Size units) const {
    // "MS Shell Dlg" 8 point: base units of 6 by 13 pixels.
    return {units.width * 6 / 4, units.height * 13 / 8};
}

void HeadlessForm::EndDialog(int result) {
    ended_ = true;
    result_ = result;
    visible_ = false;
}

std::string HeadlessForm::GetText(int id) const {
    const Control& c = At(id);
    if (c.entry.kind == ControlKind::ComboDropList) {
        return ComboText(id);
    }
    return c.text;
}

void HeadlessForm::SetText(int id, std::string_view text) {
    Control& c = At(id);
    c.text = text;
}

void HeadlessForm::Enable(int id, bool enable) {
    At(id).enabled = enable;
}
bool HeadlessForm::IsEnabled(int id) const {
    return At(id).enabled;
}
void HeadlessForm::Show(int id, bool show) {
    At(id).visible = show;
}
bool HeadlessForm::IsVisible(int id) const {
    return At(id).visible;
}

void HeadlessForm::SetFocus(int id) {
    if (g_headless && visible_) {
        g_headless->BringToFront(this);
    }
    At(id);
    MoveFocus(id);
}

Rect HeadlessForm::ControlRect(int id) const {
    return At(id).rect;
}
void HeadlessForm::MoveControl(int id, const Rect& rect) {
    At(id).rect = rect;
}

int HeadlessForm::TextWidth(int id, std::string_view text) const {
    At(id);
    return static_cast<int>(text.size()) * kCharWidth;
}

void HeadlessForm::LimitText(int id, int maxCharacters) {
    At(id).limit = maxCharacters;
}
void HeadlessForm::SetCheck(int id, bool checked) {
    At(id).checked = checked;
}
bool HeadlessForm::GetCheck(int id) const {
    return At(id).checked;
}

void HeadlessForm::ComboReset(int id) {
    Control& c = At(id);
    c.items.clear();
    c.selection = -1;
}

int HeadlessForm::ComboAdd(int id, std::string_view text) {
    Control& c = At(id);
    auto where = c.items.end();
    if (c.entry.style & kStyleSorted) {
        // A sorted combo compares without regard to case, like the platform's.
        where =
            std::upper_bound(c.items.begin(), c.items.end(), std::string(text),
                             [](const std::string& a, const std::string& b) {
                                 return std::lexicographical_compare(
                                     a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
                                         return std::tolower(static_cast<unsigned char>(x)) <
                                                std::tolower(static_cast<unsigned char>(y));
                                     });
                             });
    }
    const int index = static_cast<int>(where - c.items.begin());
    c.items.insert(where, std::string(text));
    if (c.selection >= index) {
        ++c.selection;
    }
    return index;
}

int HeadlessForm::ComboCount(int id) const {
    return static_cast<int>(At(id).items.size());
}

std::string HeadlessForm::ComboItem(int id, int index) const {
    const Control& c = At(id);
    return index >= 0 && static_cast<size_t>(index) < c.items.size()
               ? c.items[static_cast<size_t>(index)]
               : "";
}

int HeadlessForm::ComboSelection(int id) const {
    return At(id).selection;
}

void HeadlessForm::ComboSetSelection(int id, int index) {
    Control& c = At(id);
    c.selection = index >= 0 && static_cast<size_t>(index) < c.items.size() ? index : -1;
}

int HeadlessForm::ComboSelectPrefix(int id, std::string_view text) {
    Control& c = At(id);
    for (size_t i = 0; i < c.items.size(); ++i) {
        if (StartsWithIgnoringCase(c.items[i], text)) {
            c.selection = static_cast<int>(i);
            return c.selection;
        }
    }
    return -1;
}

void HeadlessForm::ComboSetDroppedWidth(int id, int pixels) {
    At(id).droppedWidth = pixels;
}

base::Date HeadlessForm::GetDate(int id) const {
    return At(id).date;
}

bool HeadlessForm::SetDate(int id, const base::Date& date) {
    if (date.year < 1970) {
        return false;
    }
    At(id).date = date;
    return true;
}

void HeadlessForm::ListSetSource(int id, const ListSource* source) {
    At(id).source = source;
}

void HeadlessForm::ListInsertColumn(int id, int column, std::string_view title, int width) {
    Control& c = At(id);
    const size_t at = std::min(static_cast<size_t>(std::max(column, 0)), c.columns.size());
    c.columns.insert(c.columns.begin() + static_cast<long>(at), {std::string(title), width});
}

int HeadlessForm::ListColumnCount(int id) const {
    return static_cast<int>(At(id).columns.size());
}

std::string HeadlessForm::ListColumnTitle(int id, int column) const {
    const Control& c = At(id);
    return column >= 0 && static_cast<size_t>(column) < c.columns.size()
               ? c.columns[static_cast<size_t>(column)].first
               : "";
}

void HeadlessForm::ListSetColumnWidth(int id, int column, int width) {
    Control& c = At(id);
    if (column >= 0 && static_cast<size_t>(column) < c.columns.size()) {
        c.columns[static_cast<size_t>(column)].second = width;
    }
}

int HeadlessForm::ListColumnWidth(int id, int column) const {
    const Control& c = At(id);
    return column >= 0 && static_cast<size_t>(column) < c.columns.size()
               ? c.columns[static_cast<size_t>(column)].second
               : 0;
}

void HeadlessForm::ListAutoSizeColumnToHeader(int id, int column) {
    // The header text plus the header's margins.
    ListSetColumnWidth(id, column, TextWidth(id, ListColumnTitle(id, column)) + 12);
}

void HeadlessForm::ListSetItemCount(int id, size_t count) {
    Control& c = At(id);
    c.itemCount = count;
    c.selected.clear();
}

size_t HeadlessForm::ListItemCount(int id) const {
    return At(id).itemCount;
}

std::vector<size_t> HeadlessForm::ListSelectedItems(int id) const {
    const Control& c = At(id);
    return {c.selected.begin(), c.selected.end()};
}

void HeadlessForm::ListSelect(int id, size_t item, bool selected) {
    Control& c = At(id);
    if (item >= c.itemCount) {
        return;
    }
    if (selected) {
        c.selected.insert(item);
    } else {
        c.selected.erase(item);
    }
}

void HeadlessForm::ListSetExtendedStyle(int id, uint32_t add, uint32_t remove) {
    Control& c = At(id);
    c.extendedStyle = (c.extendedStyle & ~remove) | add;
}

uint32_t HeadlessForm::ListExtendedStyle(int id) const {
    return At(id).extendedStyle;
}
void HeadlessForm::ListSetImages(int id, ListImages images) {
    At(id).images = images;
}
void HeadlessForm::ListRefresh(int id) {
    ++At(id).refreshes;
}
void HeadlessForm::SetOwnerDrawn(int id, OwnerDrawn* drawer) {
    At(id).drawer = drawer;
}

void HeadlessForm::SetToolTip(int id, std::string_view text, bool active) {
    Control& c = At(id);
    c.toolTip = text;
    c.toolTipActive = active;
}

void HeadlessForm::ResizeControl(int id, Size pixels) {
    Control& c = At(id);
    c.rect.right = c.rect.left + pixels.width;
    c.rect.bottom = c.rect.top + pixels.height;
}

// ---------------------------------------------------------------- HeadlessBackend

HeadlessBackend::HeadlessBackend() {
    g_headless = this;
    SetBackend(this);
}

HeadlessBackend::~HeadlessBackend() {
    if (GetBackend() == this) {
        SetBackend(nullptr);
    }
    g_headless = nullptr;
}

std::unique_ptr<Form> HeadlessBackend::CreateForm(const DialogTemplate& layout,
                                                  FormEvents& events) {
    auto form = std::make_unique<HeadlessForm>(layout, events);
    events.OnInitDialog(*form);
    return form;
}

int HeadlessBackend::DoModal(const DialogTemplate& layout, FormEvents& events, Form* /*owner*/) {
    HeadlessForm form(layout, events);
    modalCaptions.push_back(layout.caption ? layout.caption : "");
    events.OnInitDialog(form);
    form.ShowWindow(true);
    if (!modalHandlers.empty()) {
        auto handler = std::move(modalHandlers.front());
        modalHandlers.erase(modalHandlers.begin());
        handler(form);
    } else if (waitForUser) {
        waitForUser([&form] { return form.ended(); });
    }
    if (!form.ended()) {
        form.PressEscape();
    }
    return form.ended() ? form.result() : kIdCancel;
}

int HeadlessBackend::MessageBox(std::string_view text, MessageIcon icon) {
    const HeadlessForm* front = FrontForm();
    messages.push_back({std::string(text), icon, front ? front->Title() : ""});
    if (onMessageBox) {
        onMessageBox(messages.back());
    }
    if (waitForUser) {
        messageBoxOpen = true;
        waitForUser([this] { return !messageBoxOpen; });
    }
    return kIdOk;
}

bool HeadlessBackend::SetClipboardText(std::string_view text) {
    if (!clipboardAvailable) {
        return false;
    }
    clipboard = text;
    return true;
}

std::optional<std::string> HeadlessBackend::SaveFileDialog(const SaveFileRequest& request) {
    saveFileRequests.push_back(request);
    if (waitForUser) {
        saveDialogOpen = true;
        waitForUser([this] { return !saveDialogOpen; });
    }
    return saveFileAnswer;
}

int HeadlessBackend::TrackPopupMenu(const Menu& menu, Form& /*owner*/) {
    shownMenus.push_back(menu);
    if (waitForUser) {
        menuOpen = true;
        waitForUser([this] { return !menuOpen; });
    }
    const MenuItem* item = menu.Find(menuAnswer);
    const int answer = item && item->enabled ? menuAnswer : 0;
    menuAnswer = 0;
    return answer;
}

HeadlessForm* HeadlessBackend::FindForm(std::string_view caption) const {
    for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
        if ((*it)->Caption() == caption) {
            return *it;
        }
    }
    return nullptr;
}

HeadlessForm* HeadlessBackend::FrontForm() const {
    for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
        if ((*it)->IsWindowVisible()) {
            return *it;
        }
    }
    return nullptr;
}

void HeadlessBackend::BringToFront(HeadlessForm* form) {
    std::erase(forms, form);
    forms.push_back(form);
}

std::vector<std::string> HeadlessBackend::MessageTexts() const {
    std::vector<std::string> texts;
    for (const RecordedMessage& m : messages) {
        texts.push_back(m.text);
    }
    return texts;
}

std::string HeadlessBackend::LastMessage() const {
    return messages.empty() ? "" : messages.back().text;
}

// ---------------------------------------------------------------- painting and frames

Size RecordingPainter::MeasureText(std::string_view text) {
    return {static_cast<int>(text.size()) * HeadlessForm::kCharWidth, textHeight};
}

void RecordingPainter::SetFont(const FontSpec& newFont) {
    font = newFont;
    calls.push_back({"font", {}, {}, newFont.face, false});
}

void RecordingPainter::SetTransparentBackground(bool transparent) {
    calls.push_back({"transparent", {}, {}, transparent ? "on" : "off", false});
}

void RecordingPainter::DrawText(Point at, Size size, std::string_view text, bool embossed) {
    calls.push_back({"text",
                     {at.x, at.y, at.x + size.width, at.y + size.height},
                     {},
                     std::string(text),
                     embossed});
}

bool HeadlessStatusBar::SetPaneCount(int count) {
    if (count < 1 || count > kMaxStatusPanes) {
        return false;
    }
    panes_.assign(static_cast<size_t>(count), Pane{});
    return true;
}

void HeadlessStatusBar::SetPaneInfo(int pane, int commandId, int style, int width) {
    if (pane >= 0 && pane < PaneCount()) {
        panes_[static_cast<size_t>(pane)] = {commandId, style, width,
                                             panes_[static_cast<size_t>(pane)].text};
    }
}

void HeadlessStatusBar::SetPaneText(int pane, std::string_view text) {
    if (pane >= 0 && pane < PaneCount()) {
        panes_[static_cast<size_t>(pane)].text = text;
    }
}

std::string HeadlessStatusBar::PaneText(int pane) const {
    return pane >= 0 && pane < PaneCount() ? panes_[static_cast<size_t>(pane)].text : "";
}

Rect HeadlessStatusBar::ItemRect(int pane) const {
    // Panes sit side by side from the left, 2 pixels apart; a stretch pane takes what is left.
    int left = 2;
    for (int i = 0; i < PaneCount(); ++i) {
        const Pane& p = panes_[static_cast<size_t>(i)];
        int width = p.width;
        if (p.style & kPaneStretch) {
            int rest = 0;
            for (int j = i + 1; j < PaneCount(); ++j) {
                rest += panes_[static_cast<size_t>(j)].width + 2;
            }
            width = std::max(0, client_.right - 2 - rest - left);
        }
        if (i == pane) {
            return {left, client_.top + 2, left + width, client_.bottom};
        }
        left += width + 2;
    }
    return {};
}

std::vector<PaintCall> HeadlessStatusBar::Paint() {
    RecordingPainter painter;
    if (painter_) {
        painter_->Paint(painter, *this);
    }
    return painter.calls;
}

StatusBar* HeadlessFrame::CreateStatusBar(StatusBarKind kind, StatusBarPainter* painter) {
    if (failStatusBar) {
        return nullptr;
    }
    bar_ = std::make_unique<HeadlessStatusBar>(kind, painter);
    bar_->SetClientRect({0, 0, size_.width, 20});
    return bar_.get();
}

OpenedWindow::OpenedWindow(const RuntimeClass& viewClass, const RuntimeClass& frameClass,
                           int formId, Size frameSize)
    : site_(frameSize) {
    frame_.reset(dynamic_cast<CFrameWnd*>(frameClass.createObject()));
    view_.reset(dynamic_cast<CView*>(viewClass.createObject()));
    const DialogTemplate* layout = FindTemplate(formId);
    if (!frame_ || !view_ || !layout || !g_headless) {
        throw std::runtime_error("cannot open the window: missing class, layout or backend");
    }
    frame_->AttachSite(&site_);
    form_.reset(static_cast<HeadlessForm*>(g_headless->CreateForm(*layout, *view_).release()));
    form_->PlaceInFrame(&site_);
    view_->AttachToFrame(form_.get(), frame_.get());
    frame_->SetActiveView(view_.get());
    view_->OnInitialUpdate();
}

OpenedWindow::~OpenedWindow() {
    view_.reset();
    form_.reset();
    frame_.reset();
}

}  // namespace fw::headless
