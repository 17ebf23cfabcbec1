// The Win32 backend in real windows under a window manager: forms from the plug-in's layouts,
// a virtual list, the date picker, popup menus, message boxes, the save dialog, status bars and
// the clipboard. Clicks and keys go in through the X server, as the user's do (win32_input.h).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "bid/ipo_order_entry_layout.h"
#include "framework/user_driver.h"
#include "framework/win32/win32_backend.h"
#include "framework/win32/win32_frame_site.h"
#include "framework/win32/win32_input.h"
#include "framework/win32/win32_text.h"
#include "framework/win32/win32_user.h"
#include "orderbook/order_book_layout.h"
#include "plugin/runtime_classes.h"
#include "tests/support/bar_painter.h"
#include "watch/ipo_client_filter_layout.h"
#include "watch/ipo_watch_details_layout.h"

namespace {

using fw::win32::Narrow;
using fw::win32::Wide;
using fw::win32::Win32Form;
namespace input = fw::win32::input;

// Runs the message loop (with the forms' keyboard handling) until `done` holds, at most 5 s.
bool RunUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!Win32Form::PreTranslate(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        Sleep(10);
    }
    return true;
}

std::string ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return Narrow(name);
}

std::string TextOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return Narrow(text);
}

// From a thread of its own (the test's thread is inside a modal loop meanwhile): waits at most
// 5 s for a top-level window of the class, then hands it to `act`.
std::thread WhenShown(const wchar_t* windowClass, std::function<void(HWND)> act) {
    return std::thread([windowClass, act = std::move(act)] {
        for (int tries = 0; tries < 500; ++tries) {
            HWND shown = FindWindowW(windowClass, nullptr);
            if (shown && IsWindowVisible(shown)) {
                Sleep(100);  // settled on screen
                act(shown);
                return;
            }
            Sleep(10);
        }
    });
}

struct Recorder : fw::FormEvents {
    std::vector<std::string> log;
    void OnCommand(int id) override { log.push_back("command " + std::to_string(id)); }
    void OnColumnClick(int list, int column) override {
        log.push_back("column " + std::to_string(list) + " " + std::to_string(column));
    }
    void OnItemClick(int list, int item, int column) override {
        log.push_back("item " + std::to_string(list) + " " + std::to_string(item) + " " +
                      std::to_string(column));
    }
    void OnCancel() override { log.push_back("cancel"); }
    bool Saw(const std::string& entry) const {
        return std::find(log.begin(), log.end(), entry) != log.end();
    }
};

// Rows named by their number; remembers which rows the list asked for.
struct ManyRows : fw::ListSource {
    mutable std::set<size_t> asked;
    std::string CellText(size_t item, int column) const override {
        asked.insert(item);
        return "row " + std::to_string(item) + " col " + std::to_string(column);
    }
};

class OrderBookWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        form = backend.CreateChildForm(site.frame(), OrderBookFormLayout(), events);
        site.SetForm(form->window(), form->TemplateSize());
        site.SetTitle("IPO Order Book");
        ShowWindow(site.frame(), SW_SHOW);
        // The user turns to the window: the window manager activates it once it shows it.
        ASSERT_TRUE(RunUntil([&] {
            if (GetForegroundWindow() == site.frame() && input::Active(site.frame())) {
                return true;
            }
            input::Activate(site.frame());
            return false;
        }));
    }
    std::string ListCell(int item, int column) {
        wchar_t text[128] = {};
        LVITEMW cell{};
        cell.iSubItem = column;
        cell.pszText = text;
        cell.cchTextMax = 128;
        SendMessageW(form->control(kOrderBookList), LVM_GETITEMTEXTW, static_cast<WPARAM>(item),
                     reinterpret_cast<LPARAM>(&cell));
        return Narrow(text);
    }

    fw::win32::Win32Backend backend;
    fw::win32::Win32FrameSite site;
    Recorder events;
    std::unique_ptr<Win32Form> form;
};

TEST_F(OrderBookWindow, BuildsTheLayoutOnTheCommonControlsInDialogUnitsOfItsFont) {
    EXPECT_EQ("ComboBox", ClassOf(form->control(kOrderBookStatus)));
    EXPECT_EQ("SysDateTimePick32", ClassOf(form->control(kOrderBookFromDate)));
    EXPECT_EQ("SysListView32", ClassOf(form->control(kOrderBookList)));
    EXPECT_EQ("Button", ClassOf(form->control(kOrderBookApply)));
    EXPECT_EQ("Order Status", form->GetText(1018));
    EXPECT_EQ("IPO Order Book", TextOf(site.frame()));
    const auto listStyle = GetWindowLongW(form->control(kOrderBookList), GWL_STYLE);
    EXPECT_EQ(LVS_REPORT | LVS_OWNERDATA, listStyle & (LVS_REPORT | LVS_OWNERDATA));

    // Four horizontal units are the font's average character width, eight vertical ones its height.
    HFONT font =
        reinterpret_cast<HFONT>(SendMessageW(form->control(kOrderBookApply), WM_GETFONT, 0, 0));
    LOGFONTW face{};
    GetObjectW(font, sizeof(face), &face);
    EXPECT_EQ("MS Shell Dlg", Narrow(face.lfFaceName));
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(metrics.tmHeight, form->DialogUnitsToPixels({0, 8}).height);
    EXPECT_NEAR(metrics.tmAveCharWidth, form->DialogUnitsToPixels({4, 0}).width, 1);

    const fw::Size at = form->DialogUnitsToPixels({245, 15});
    const fw::Size size = form->DialogUnitsToPixels({56, 14});
    EXPECT_EQ((fw::Rect{at.width, at.height, at.width + size.width, at.height + size.height}),
              form->ControlRect(kOrderBookApply));
    EXPECT_EQ(form->TemplateSize().width, form->ClientSize().width);

    events.log.clear();
    RECT apply{};
    GetClientRect(form->control(kOrderBookApply), &apply);
    input::Click(input::Centre(form->control(kOrderBookApply), apply));
    EXPECT_TRUE(RunUntil([&] { return events.Saw("command 1158"); }));
}

TEST_F(OrderBookWindow, VirtualListAsksItsSourceForTheRowsItShowsAndReportsClicks) {
    ManyRows rows;
    form->ListSetSource(kOrderBookList, &rows);
    for (int column = 0; column < 3; ++column) {
        form->ListInsertColumn(kOrderBookList, column, "Column " + std::to_string(column), 120);
    }
    form->ListSetExtendedStyle(kOrderBookList, fw::kListGridLines | fw::kListFullRowSelect, 0);
    form->ListSetItemCount(kOrderBookList, 100000);
    HWND list = form->control(kOrderBookList);
    EXPECT_EQ(DWORD{LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT},
              SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) &
                  (LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT));
    EXPECT_EQ(3, form->ListColumnCount(kOrderBookList));
    EXPECT_EQ("Column 2", form->ListColumnTitle(kOrderBookList, 2));
    EXPECT_EQ(100000u, form->ListItemCount(kOrderBookList));

    SendMessageW(list, LVM_ENSUREVISIBLE, 99999, FALSE);
    UpdateWindow(list);
    EXPECT_EQ("row 99999 col 2", ListCell(99999, 2));
    EXPECT_GT(SendMessageW(list, LVM_GETTOPINDEX, 0, 0), 99900);
    // Only the rows on screen were asked for: the list keeps no texts of its own.
    EXPECT_LT(rows.asked.size(), 100u);
    EXPECT_GE(*rows.asked.begin(), 99900u);

    // A header click reaches the view with its column.
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    RECT title{};
    SendMessageW(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&title));
    input::Click(input::Centre(header, title));
    EXPECT_TRUE(RunUntil([&] { return events.Saw("column 1010 1"); }));

    // A click on a row's second cell selects the row and reports the cell.
    SendMessageW(list, LVM_ENSUREVISIBLE, 0, FALSE);
    RECT cell{};
    cell.top = 1;
    cell.left = LVIR_BOUNDS;
    SendMessageW(list, LVM_GETSUBITEMRECT, 2, reinterpret_cast<LPARAM>(&cell));
    input::Click(input::Centre(list, cell));
    EXPECT_TRUE(RunUntil([&] { return events.Saw("item 1010 2 1"); })) << events.log.back();
    EXPECT_EQ(std::vector<size_t>{2}, form->ListSelectedItems(kOrderBookList));
    form->ListSetItemCount(kOrderBookList, 5);
    EXPECT_TRUE(form->ListSelectedItems(kOrderBookList).empty());
}

TEST_F(OrderBookWindow, DropDownSortsAndDatePickerHoldsItsDate) {
    std::vector<int> landed;
    for (const char* text : {"(ALL)", "PENDING", "CONFIRMED", "REJECTED", "CANCELLED"}) {
        landed.push_back(form->ComboAdd(kOrderBookStatus, text));
    }
    EXPECT_EQ((std::vector<int>{0, 1, 1, 3, 1}), landed);
    EXPECT_EQ(1, form->ComboSelectPrefix(kOrderBookStatus, "canc"));
    EXPECT_EQ("CANCELLED", form->GetText(kOrderBookStatus));
    EXPECT_EQ(-1, form->ComboSelectPrefix(kOrderBookStatus, "X"));

    ASSERT_TRUE(form->SetDate(kOrderBookFromDate, {2026, 3, 5}));
    SYSTEMTIME shown{};
    SendMessageW(form->control(kOrderBookFromDate), DTM_GETSYSTEMTIME, 0,
                 reinterpret_cast<LPARAM>(&shown));
    EXPECT_EQ(2026, shown.wYear);
    EXPECT_EQ(3, shown.wMonth);
    EXPECT_EQ(5, shown.wDay);
    EXPECT_FALSE(form->SetDate(kOrderBookFromDate, {1969, 12, 31}));
    EXPECT_FALSE(form->SetDate(kOrderBookFromDate, {2026, 2, 29}));
    EXPECT_EQ((base::Date{2026, 3, 5}), form->GetDate(kOrderBookFromDate));
}

TEST_F(OrderBookWindow, PopupMenuShowsItsItemsAndGivesBackTheClickedCommand) {
    fw::Menu menu = OrderBookMenu();
    menu.Find(kCommandModify)->enabled = false;
    menu.Find(kCommandGrid)->checked = true;
    std::vector<std::string> items;
    std::vector<UINT> states;
    std::thread user = WhenShown(L"#32768", [&](HWND shown) {
        HMENU popup = reinterpret_cast<HMENU>(SendMessageW(shown, MN_GETHMENU, 0, 0));
        for (int index = 0; index < GetMenuItemCount(popup); ++index) {
            wchar_t text[64] = {};
            GetMenuStringW(popup, static_cast<UINT>(index), text, 64, MF_BYPOSITION);
            items.push_back(Narrow(text));
            states.push_back(GetMenuState(popup, static_cast<UINT>(index), MF_BYPOSITION));
        }
        RECT item{};
        GetMenuItemRect(nullptr, popup, 3, &item);
        input::Click({(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    });
    const int chosen = backend.TrackPopupMenu(menu, *form);
    user.join();
    EXPECT_EQ((std::vector<std::string>{"Export To CSV", "Modify", "Cancel", "Size To Fit",
                                        "Size To Header", "Grid", "Change Client"}),
              items);
    ASSERT_EQ(7u, states.size());
    EXPECT_TRUE(states[1] & MF_GRAYED);
    EXPECT_TRUE(states[5] & MF_CHECKED);
    EXPECT_FALSE(states[0] & (MF_GRAYED | MF_CHECKED));
    EXPECT_EQ(kCommandSizeToFit, chosen);
}

TEST_F(OrderBookWindow, StatusBarSharesItsPanesBelowTheFormAndPaintsThroughItsPainter) {
    BarPainter painter;
    fw::StatusBar* bar = ThreePaneBar(site, painter);
    ASSERT_NE(nullptr, bar);
    site.FitToForm();
    EXPECT_EQ("No of records : 4", bar->PaneText(2));
    EXPECT_GE(bar->ItemRect(0).Width(), 60);
    EXPECT_LT(bar->ItemRect(0).Width(), 90);
    EXPECT_GE(bar->ItemRect(1).Width(), 90);
    EXPECT_EQ(bar->ClientRect().right, bar->ItemRect(2).right);  // the stretch pane ends the bar
    EXPECT_EQ(form->TemplateSize().height,
              form->ClientSize().height);  // the bar sits below the form

    painter.panes.clear();
    RedrawWindow(site.statusBar()->window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_TRUE(RunUntil([&] { return painter.panes.size() == 3; }));
    EXPECT_EQ(bar->ItemRect(2), painter.panes[2]);
}

TEST(Win32Services, ClipboardHoldsTheTextAsCfText) {
    fw::win32::Win32Backend backend;
    const std::string text = "Symbol\tQty\r\nACME\t10\r\n";
    ASSERT_TRUE(backend.SetClipboardText(text));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE held = GetClipboardData(CF_TEXT);
    const std::string read = held ? static_cast<const char*>(GlobalLock(held)) : "";
    if (held) {
        GlobalUnlock(held);
    }
    CloseClipboard();
    EXPECT_EQ(text, read);
}

TEST(Win32Services, SaveDialogStartsInTheFolderWithTheNameAndAddsTheExtension) {
    fw::win32::Win32Backend backend;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::string folder = Narrow(temp);
    const fw::SaveFileRequest request{"csv", "04122026IPOOrderBook.csv",
                                      "Upload Files (*.csv) | *.csv ||", folder};
    // The dialog's file name box (cmb13) and its file type list (cmb1).
    constexpr int kFileName = 0x47c;
    constexpr int kFileType = 0x470;
    std::string offered, type;
    std::thread cancel = WhenShown(L"#32770", [&](HWND dialog) {
        offered = TextOf(GetDlgItem(dialog, kFileName));
        type = TextOf(GetDlgItem(dialog, kFileType));
        input::Key(VK_ESCAPE);
    });
    EXPECT_EQ(std::nullopt, backend.SaveFileDialog(request));
    cancel.join();
    EXPECT_EQ("04122026IPOOrderBook.csv", offered);
    EXPECT_EQ("Upload Files (*.csv)", type);

    std::thread save = WhenShown(L"#32770", [](HWND dialog) {
        HWND name = FindWindowExW(GetDlgItem(dialog, kFileName), nullptr, L"ComboBox", nullptr);
        name = FindWindowExW(name, nullptr, L"Edit", nullptr);
        RECT box{};
        GetClientRect(name, &box);
        input::Click(input::Centre(name, box));
        Sleep(100);
        SendMessageW(name, EM_SETSEL, 0, -1);
        input::Type("orders");
        Sleep(100);
        input::Key(VK_RETURN);
    });
    const std::optional<std::string> chosen = backend.SaveFileDialog(request);
    save.join();
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(folder + "orders.csv", *chosen);
}

// A modal dialog whose terms link is drawn by its drawer: the press reaches the drawer before
// the click reaches the dialog, which ends the modal loop with a result of its own.
struct LinkDialog : Recorder, fw::OwnerDrawn {
    fw::Form* form = nullptr;
    bool disabledLook = true;
    void OnInitDialog(fw::Form& shown) override {
        form = &shown;
        shown.SetOwnerDrawn(kBidTermsLink, this);
    }
    void OnCommand(int id) override {
        Recorder::OnCommand(id);
        form->EndDialog(7);
    }
    void DrawItem(fw::Painter& painter, const fw::DrawItemInfo& info) override {
        disabledLook = info.disabledOnly;
        painter.DrawText({2, 1}, painter.MeasureText("Terms"), "Terms", info.disabledOnly);
        log.push_back("draw");
    }
    void OnLeftButtonDown() override { log.push_back("press"); }
};

TEST(Win32Dialogs, ModalDialogRunsUntilEndedAndItsLinkPressesBeforeTheClick) {
    fw::win32::Win32Backend backend;
    LinkDialog dialog;
    std::thread user = WhenShown(L"IpoFwForm", [&](HWND shown) {
        input::Click(input::Centre(GetDlgItem(shown, kBidTermsLink)));
    });
    EXPECT_EQ(7, backend.DoModal(BidOrderEntryLayout(), dialog, nullptr));
    user.join();
    EXPECT_TRUE(dialog.Saw("draw"));
    EXPECT_FALSE(dialog.disabledLook);
    const auto press = std::find(dialog.log.begin(), dialog.log.end(), "press");
    ASSERT_NE(dialog.log.end(), press);
    EXPECT_EQ("command 1157", dialog.log.back());
}

// ---------------------------------------------------------------- the plug-in's layouts

// Everything in a built layout that a user would see cut or overlapping: a caption wider or
// taller than the room its control gives it (measured in the control's font, a check box's or
// radio button's box and a button's edges taken off), controls that overlap, leave the window or
// cross the border or title of a group box. List cells may cut; lists are sized by their views.
std::vector<std::string> LayoutFaults(const Win32Form& form) {
    std::vector<std::string> faults;
    const fw::DialogTemplate& layout = form.layout();
    const fw::Size client = form.ClientSize();
    auto fault = [&](const fw::ControlEntry& entry, const std::string& what) {
        faults.push_back(std::string(layout.caption) + ": " + std::to_string(entry.id) + " " +
                         what);
    };
    for (const fw::ControlEntry& entry : layout.controls) {
        const fw::Rect rect = form.ControlRect(entry.id);
        if (entry.kind != fw::ControlKind::ListView &&
            (rect.left < 0 || rect.top < 0 || rect.right > client.width ||
             rect.bottom > client.height)) {
            fault(entry, "leaves the window");
        }
        int room = rect.Width();
        switch (entry.kind) {
            case fw::ControlKind::CheckBox:
            case fw::ControlKind::RadioButton:
                room -= GetSystemMetrics(SM_CXMENUCHECK) + GetSystemMetrics(SM_CXEDGE);
                break;
            case fw::ControlKind::Button:
            case fw::ControlKind::DefaultButton:
            case fw::ControlKind::GroupBox:
                room -= 4 * GetSystemMetrics(SM_CXEDGE);
                break;
            case fw::ControlKind::Static:
                break;
            default:
                continue;
        }
        const std::string text = form.GetText(entry.id);
        const int height = form.DialogUnitsToPixels({0, 8}).height;
        if (form.TextWidth(entry.id, text) > room ||
            (entry.kind == fw::ControlKind::Static && !text.empty() && height > rect.Height())) {
            fault(entry, "cuts \"" + text + "\" (" +
                             std::to_string(form.TextWidth(entry.id, text)) + " in " +
                             std::to_string(room) + ")");
        }
    }
    for (const fw::ControlEntry& a : layout.controls) {
        for (const fw::ControlEntry& b : layout.controls) {
            const fw::Rect ra = form.ControlRect(a.id);
            const fw::Rect rb = form.ControlRect(b.id);
            const bool overlap = &a != &b && ra.left < rb.right && rb.left < ra.right &&
                                 ra.top < rb.bottom && rb.top < ra.bottom;
            if (!overlap) {
                continue;
            }
            if (a.kind == fw::ControlKind::GroupBox) {
                const int title =
                    form.GetText(a.id).empty() ? 0 : form.DialogUnitsToPixels({0, 8}).height;
                if (rb.left < ra.left || rb.right > ra.right || rb.top < ra.top + title ||
                    rb.bottom > ra.bottom) {
                    fault(b, "crosses the border or title of group " + std::to_string(a.id));
                }
            } else if (b.kind != fw::ControlKind::GroupBox && &a < &b) {
                fault(a, "overlaps " + std::to_string(b.id));
            }
        }
    }
    return faults;
}

TEST(PluginLayouts, EveryCaptionFitsAndNoControlOverlapsAnother) {
    fw::win32::Win32Backend backend;
    Recorder events;
    std::vector<std::string> faults;
    for (const fw::DialogTemplate* layout :
         {&WatchFormLayout(), &OrderBookFormLayout(), &WatchDetailsLayout(), &ClientFilterLayout(),
          &BidOrderEntryLayout(), &TermsAndConditionLayout()}) {
        auto form = backend.CreateChildForm(nullptr, *layout, events);
        EXPECT_EQ(form->TemplateSize().width, form->ClientSize().width) << layout->caption;
        for (std::string& found : LayoutFaults(*form)) {
            faults.push_back(std::move(found));
        }
    }
    EXPECT_EQ(std::vector<std::string>{}, faults);
}

// ---------------------------------------------------------------- the user's actions

// A view's side of the order book: a popup menu on a right-click (Export leads to the save
// dialog), a message box on Apply.
struct OrderBookHost : Recorder {
    fw::win32::Win32Backend* backend = nullptr;
    Win32Form* form = nullptr;
    std::string folder;
    fw::Menu menu = OrderBookMenu();
    int chosen = 0;
    std::optional<std::string> saved;
    void OnContextMenu(int) override {
        chosen = backend->TrackPopupMenu(menu, *form);
        if (chosen == kCommandExportCSV) {
            saved =
                backend->SaveFileDialog({"csv", "orders.csv", "CSV Files (*.csv)|*.csv||", folder});
        }
    }
    void OnCommand(int id) override {
        Recorder::OnCommand(id);
        if (id == kOrderBookApply) {
            fw::MessageBox("No orders found", fw::MessageIcon::Information);
        }
    }
};

struct ThreeRows : fw::ListSource {
    std::string CellText(size_t item, int column) const override {
        return (column == 0 ? "IPO" : "Qty ") + std::to_string(item + 1);
    }
};

TEST(Win32User, DrivesTheOrderBookThroughItsListMenusAndDialogs) {
    fw::win32::Win32Backend backend;
    fw::win32::Win32FrameSite site;
    OrderBookHost host;
    auto form = backend.CreateChildForm(site.frame(), OrderBookFormLayout(), host);
    host.backend = &backend;
    host.form = form.get();
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    host.folder = Narrow(temp);
    site.SetForm(form->window(), form->TemplateSize());
    site.SetTitle("IPO Order Book");
    ThreeRows rows;
    form->ListSetSource(kOrderBookList, &rows);
    form->ListInsertColumn(kOrderBookList, 0, "Name", 100);
    form->ListInsertColumn(kOrderBookList, 1, "Quantity", 100);
    form->ListSetItemCount(kOrderBookList, 3);
    form->ListSetExtendedStyle(kOrderBookList, fw::kListFullRowSelect, 0);
    for (const char* status : {"(ALL)", "PENDING", "CONFIRMED"}) {
        form->ComboAdd(kOrderBookStatus, status);
    }
    ShowWindow(site.frame(), SW_SHOW);

    fw::win32::Win32User user(backend);
    fw::UserDriver driver(user);
    driver.Run([&](fw::UserDriver& d) {
        ASSERT_TRUE(d.Use("IPO Order Book"));
        EXPECT_TRUE(d.Choose(kOrderBookStatus, "PENDING"));
        EXPECT_EQ("PENDING", d.Text(kOrderBookStatus));
        EXPECT_TRUE(d.ClickHeader(kOrderBookList, 1));
        EXPECT_TRUE(d.ClickCell(kOrderBookList, 2, 1));
        EXPECT_TRUE(d.WaitUntil([&](fw::UserActions&) {
            return form->ListSelectedItems(kOrderBookList) == std::vector<size_t>{2};
        }));
        EXPECT_EQ((std::vector<std::vector<std::string>>{
                      {"IPO1", "Qty 1"}, {"IPO2", "Qty 2"}, {"IPO3", "Qty 3"}}),
                  d.Rows(kOrderBookList));

        const std::optional<fw::Menu> menu = d.OpenPopup(kOrderBookList);
        ASSERT_TRUE(menu.has_value());
        ASSERT_EQ(7u, menu->items.size());
        EXPECT_EQ("Size To Header", menu->items[4].text);
        EXPECT_EQ(kCommandSizeToHeader, menu->items[4].id);
        EXPECT_TRUE(d.ChooseMenuItem("Grid"));
        EXPECT_TRUE(d.WaitUntil([&](fw::UserActions&) { return host.chosen == kCommandGrid; }));

        ASSERT_TRUE(d.OpenPopup(kOrderBookList).has_value());
        EXPECT_TRUE(d.ChooseMenuItem("Export To CSV"));
        const std::optional<fw::SaveFileRequest> offered = d.SaveAs(host.folder + "book.csv");
        ASSERT_TRUE(offered.has_value());
        EXPECT_EQ("orders.csv", offered->defaultFileName);
        EXPECT_EQ("CSV Files (*.csv)", offered->filter);
        EXPECT_TRUE(d.WaitUntil([&](fw::UserActions&) { return host.saved.has_value(); }));

        EXPECT_TRUE(d.Click(kOrderBookApply));
        const std::optional<fw::MessageBoxShown> box = d.AnswerMessageBox();
        ASSERT_TRUE(box.has_value());
        EXPECT_EQ("No orders found", box->text);
        EXPECT_EQ(fw::MessageIcon::Information, box->icon);
        EXPECT_EQ("IPO Order Book", box->owner);  // owned by the window the user is in
        EXPECT_TRUE(box->inFront);
    });
    EXPECT_TRUE(host.Saw("column 1010 1"));
    EXPECT_TRUE(host.Saw("item 1010 2 1"));
    EXPECT_EQ(host.folder + "book.csv", host.saved.value_or(""));
}

// The bid dialog: keys typed into a box (with Shift, and beyond the keyboard's characters), Tab
// between boxes, a radio button clicked, and Esc closing it.
TEST(Win32User, TypesTabsClicksAndClosesAPopupDialogWithItsKeys) {
    fw::win32::Win32Backend backend;
    Recorder events;
    auto form = backend.CreateForm(BidOrderEntryLayout(), events);
    EXPECT_FALSE(form->IsWindowVisible());
    form->ShowWindow(true);

    fw::win32::Win32User user(backend);
    fw::UserDriver driver(user);
    driver.Run([&](fw::UserDriver& d) {
        ASSERT_TRUE(d.Use("Bid Order-IPO"));
        EXPECT_TRUE(d.Type(kBidUPIId, "trader@upi"));
        EXPECT_EQ("trader@upi", d.Text(kBidUPIId));
        // Typed over what was there; a character that no key of the keyboard carries arrives too.
        EXPECT_TRUE(d.Type(kBidUPIId, "josé₹@upi"));
        EXPECT_EQ("josé₹@upi", d.Text(kBidUPIId));
        EXPECT_FALSE(d.Type(kBidIPOName, "x"));  // disabled
        EXPECT_EQ(kBidUPIId, d.Focused());
        EXPECT_TRUE(d.Press(fw::Key::Tab));
        EXPECT_NE(kBidUPIId, d.Focused());
        EXPECT_TRUE(d.Click(kBidASBA));
        EXPECT_TRUE(d.Checked(kBidASBA));
        EXPECT_TRUE(d.Press(fw::Key::Escape));
        EXPECT_TRUE(d.WaitUntil([](fw::UserActions& ui) { return !ui.Shown("Bid Order-IPO"); }));
    });
    EXPECT_TRUE(events.Saw("command 1059"));
    EXPECT_TRUE(events.Saw("cancel"));
}

}  // namespace
