// GUI figures of the wx backend, on a display (xvfb-run): the terminal's start to its watch list
// painted with rows, against a seeded ipo-service on loopback; and the order book of 100,000
// orders (bench/order_book_data.h, answered from memory by the test companion, so that no network
// is timed): Apply to the first paint of the rows beside the headless Apply of the same orders,
// and a click on a column header to the repaint. "Painted" is the end of a paint of the list's
// rows window during which the list asked its source for cell texts. Times are wall times; the
// order book's are medians of five rounds.
// Prints one `name: value unit` line per figure; fails on any toolkit assertion or GTK warning.
#include <wx/app.h>
#include <wx/eventfilter.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/uilocale.h>
#include <wx/utils.h>

#include <glib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench/order_book_data.h"
#include "bench/percentile.h"
#include "framework/wx/wx_list_view.h"
#include "framework/wx/wx_user_actions.h"
#include "host/terminal.h"
#include "service_harness.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRounds = 5;
constexpr auto kPatience = std::chrono::seconds(20);

bool g_toolkitComplained = false;

void OnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
              const wxString& msg) {
    g_toolkitComplained = true;
    std::fprintf(stderr, "wx assertion %s:%d %s: %s %s\n", file.utf8_str().data(), line,
                 func.utf8_str().data(), cond.utf8_str().data(), msg.utf8_str().data());
}

GLogWriterOutput OnGLibMessage(GLogLevelFlags level, const GLogField* fields, gsize count,
                               gpointer data) {
    if (level & (G_LOG_LEVEL_ERROR | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING)) {
        g_toolkitComplained = true;
    }
    return g_log_writer_default(level, fields, count, data);
}

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// Stands between a list and its source and counts the cells the list asks for.
class CountingSource : public fw::ListSource {
  public:
    explicit CountingSource(const fw::ListSource* source) : source_(source) {}
    std::string CellText(size_t item, int column) const override {
        ++cellsAsked;
        return source_->CellText(item, column);
    }
    int ItemImage(size_t item) const override { return source_->ItemImage(item); }
    const fw::ListSource* source() const { return source_; }

    mutable size_t cellsAsked = 0;

  private:
    const fw::ListSource* source_;
};

// Sees every paint of one list's rows window and notes when a paint that drew cells has ended:
// the paint is handed to the window's own handlers from here, so that the time is taken after
// the drawing.
class PaintWatch : public wxEventFilter {
  public:
    PaintWatch(fw::wx::FwListView* list, const fw::ListSource* source)
        : list_(list), source_(source) {
        list_->SetSource(&source_);
        wxEvtHandler::AddFilter(this);
    }
    ~PaintWatch() override {
        wxEvtHandler::RemoveFilter(this);
        list_->SetSource(source_.source());
    }

    int FilterEvent(wxEvent& event) override {
        if (inside_ || event.GetEventType() != wxEVT_PAINT ||
            event.GetEventObject() != list_->RowsWindow()) {
            return Event_Skip;
        }
        const size_t before = source_.cellsAsked;
        const Clock::time_point start = Clock::now();
        inside_ = true;
        list_->RowsWindow()->GetEventHandler()->ProcessEvent(event);
        inside_ = false;
        if (source_.cellsAsked > before) {
            paintedAt_ = Clock::now();
            paint_ = *paintedAt_ - start;
        }
        return Event_Processed;
    }

    // Where the time from an action to the paint it caused went.
    struct Timing {
        double total = -1;  // from the start to the end of the paint; negative: no paint came
        double act = 0;     // the action itself (the view's handler)
        double paint = 0;   // the paint that drew the rows
    };

    // Runs `act`, then lets wx work until a paint has drawn cells.
    Timing TimeToPaint(const std::function<void()>& act, Clock::time_point start = Clock::now()) {
        paintedAt_.reset();
        const Clock::time_point actStart = Clock::now();
        act();
        Timing timing;
        timing.act = Milliseconds(Clock::now() - actStart);
        while (!paintedAt_ && Clock::now() - start < kPatience) {
            wxTheApp->ProcessPendingEvents();
            wxTheApp->Yield(true);
            wxTheApp->ProcessIdle();
            if (!paintedAt_) {
                wxMilliSleep(1);
            }
        }
        if (paintedAt_) {
            timing.total = Milliseconds(*paintedAt_ - start);
            timing.paint = Milliseconds(paint_);
        }
        return timing;
    }

  private:
    fw::wx::FwListView* list_;
    CountingSource source_;
    bool inside_ = false;
    std::optional<Clock::time_point> paintedAt_;
    Clock::duration paint_{};
};

// The medians of several timings, field by field; negative when any timing had no paint.
PaintWatch::Timing Medians(const std::vector<PaintWatch::Timing>& timings) {
    std::vector<double> total, act, paint;
    for (const PaintWatch::Timing& t : timings) {
        total.push_back(t.total);
        act.push_back(t.act);
        paint.push_back(t.paint);
    }
    const bool allPainted = !timings.empty() && *std::min_element(total.begin(), total.end()) >= 0;
    return {allPainted ? Median(total) : -1, Median(act), Median(paint)};
}

fw::wx::FwListView* ListOf(HostWindow* window) {
    return window ? dynamic_cast<fw::wx::FwListView*>(fw::wx::FindList(window->form->window()))
                  : nullptr;
}

const fw::ListSource* SourceOf(HostWindow* window) {
    return dynamic_cast<const fw::ListSource*>(window->view.get());
}

void Close(std::unique_ptr<Terminal>& terminal) {
    terminal->Exit();
    fw::wx::Pump(200);
    terminal.reset();
    fw::wx::Pump(100);
}

void Print(const char* name, double value, const char* unit) {
    std::printf("%s: %.1f %s\n", name, value, unit);
}

}  // namespace

int main() {
    wxSetAssertHandler(OnAssert);
    g_log_set_writer_func(OnGLibMessage, nullptr, nullptr);

    // The headless Apply of the same orders, for the ratio below.
    std::vector<double> headless;
    {
        bench::HeadlessOrderBook book;
        for (int round = 0; round < kRounds; ++round) {
            const Clock::time_point start = Clock::now();
            book.Apply();
            headless.push_back(Milliseconds(Clock::now() - start));
        }
    }
    bench::OrderBookData data;
    CompanionAnswer answer = data.Answer();
    harness::ServiceProcess service;

    // (a) The terminal starts (toolkit included) and its user opens the watch list at once.
    const Clock::time_point start = Clock::now();
    static int argc = 1;
    static char name[] = "wx_gui_bench";
    static char* argv[] = {name, nullptr};
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "no display: run under xvfb-run\n");
        return 2;
    }
    wxLog::SetActiveTarget(new wxLogStderr);
    wxUILocale::UseDefault();
    wxTheApp->CallOnInit();
    const double toolkitStart = Milliseconds(Clock::now() - start);

    TerminalSettings settings;
    settings.service = service.Endpoint();
    settings.password = harness::SeededPassword(settings.userId);  // the start includes sign-in
    auto terminal = std::make_unique<Terminal>(settings, harness::BinDir());
    terminal->Start();
    const double terminalStarted = Milliseconds(Clock::now() - start);
    const Clock::time_point openStart = Clock::now();
    HostWindow* watch = terminal->Open(kMenuIPOWatch);
    const double watchOpened = Milliseconds(Clock::now() - openStart);
    std::vector<PaintWatch::Timing> watchPaint;
    if (fw::wx::FwListView* list = ListOf(watch); list && list->GetItemCount() > 0) {
        PaintWatch paints(list, SourceOf(watch));
        watchPaint.push_back(paints.TimeToPaint([] {}, start));
    }
    Close(terminal);

    // (b) The order book of 100,000 orders in a terminal whose plug-in uses the test companion.
    settings.workingDirectory = TestCompanionDirectory();
    terminal = std::make_unique<Terminal>(settings, harness::BinDir());
    terminal->Start();
    HostWindow* book = terminal->Open(kMenuIPOOrderBook);
    fw::wx::Pump(300);
    fw::wx::FwListView* bookList = ListOf(book);
    std::vector<PaintWatch::Timing> applies;
    std::vector<PaintWatch::Timing> clicks;
    long rows = 0;
    if (bookList) {
        PaintWatch paints(bookList, SourceOf(book));
        wxWindow* bookWindow = book->form->window();
        for (int round = 0; round < kRounds; ++round) {
            TestCompanion().Script(kRequestOrderBook, answer);
            applies.push_back(
                paints.TimeToPaint([bookWindow] { fw::wx::Press(bookWindow, kOrderBookApply); }));
            fw::wx::Pump(50);
        }
        rows = bookList->GetItemCount();
        // The header is the list's other child; the click lands in the middle of the fourth
        // column ("Bid Reference/Order No", a number column), as the mouse would.
        wxWindow* header = nullptr;
        for (wxWindow* child : bookList->GetChildren()) {
            if (child != bookList->RowsWindow()) {
                header = child;
            }
        }
        const int x = bookList->GetColumnWidth(0) + bookList->GetColumnWidth(1) +
                      bookList->GetColumnWidth(2) + bookList->GetColumnWidth(3) / 2;
        for (int round = 0; header && round < kRounds; ++round) {
            clicks.push_back(
                paints.TimeToPaint([header, x] { fw::wx::ClickAt(header, wxPoint(x, 8)); }));
            fw::wx::Pump(50);
        }
    }
    Close(terminal);
    wxEntryCleanup();

    const PaintWatch::Timing watchTiming = Medians(watchPaint);
    const PaintWatch::Timing apply = Medians(applies);
    const PaintWatch::Timing click = Medians(clicks);
    const double headlessApply = Median(headless);
    std::printf("\n");
    Print("gui_terminal_start_to_watch_list_painted", watchTiming.total, "ms");
    Print("gui_toolkit_start", toolkitStart, "ms");
    Print("gui_terminal_plugin_loaded", terminalStarted - toolkitStart, "ms");
    Print("gui_watch_list_opened", watchOpened, "ms");
    Print("gui_watch_list_paint", watchTiming.paint, "ms");
    std::printf("gui_orderbook_rows_listed: %ld rows\n", rows);
    Print("gui_orderbook_headless_apply", headlessApply, "ms");
    Print("gui_orderbook_apply_to_first_paint", apply.total, "ms");
    Print("gui_orderbook_apply_in_view", apply.act, "ms");
    Print("gui_orderbook_first_paint", apply.paint, "ms");
    std::printf("gui_orderbook_apply_to_first_paint_over_headless: %.2f x\n",
                headlessApply > 0 && apply.total > 0 ? apply.total / headlessApply : 0.0);
    Print("gui_orderbook_header_click_to_repaint", click.total, "ms");
    Print("gui_orderbook_header_click_sort", click.act, "ms");
    Print("gui_orderbook_repaint", click.paint, "ms");

    const bool measured = watchTiming.total >= 0 && rows == bench::kOrders && apply.total >= 0 &&
                          clicks.size() == kRounds && click.total >= 0;
    if (!measured) {
        std::fprintf(stderr, "a window did not paint its rows in time\n");
    }
    if (g_toolkitComplained) {
        std::fprintf(stderr, "the toolkit reported an assertion or a warning\n");
    }
    return measured && !g_toolkitComplained ? 0 : 1;
}
