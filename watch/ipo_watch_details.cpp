#include "watch/ipo_watch_details.h"

#include <cinttypes>

#include "base/text.h"
#include "framework/backend.h"
#include "watch/ipo_watch_details_layout.h"

namespace {

// The boxes in the order ShowEntry fills them.
constexpr std::array<int, 10> kBoxes{
    kDetailsIPOName,        kDetailsIssueSize,           kDetailsFaceValue, kDetailsBidStart,
    kDetailsBidEnd,         kDetailsMinimumBidQty,       kDetailsRating,    kDetailsRegistrar,
    kDetailsProspectusLink, kDetailsBrokerRecommendation};

}  // namespace

CIPOWatchDetails::CIPOWatchDetails() {
    if (fw::Backend* backend = fw::GetBackend()) {
        form_ = backend->CreateForm(WatchDetailsLayout(), *this);
    }
}

CIPOWatchDetails::~CIPOWatchDetails() = default;

void CIPOWatchDetails::OnInitDialog(fw::Form& form) {
    form.SetCaption("IPO Watch Details");
    requestFlag_ = 0;
    form.MoveTo({0, 420});
    form.ShowWindow(false);
    for (int box : kBoxes) {
        form.Enable(box, false);
    }
}

void CIPOWatchDetails::ClearFields() {
    for (std::string& text : texts_) {
        text.clear();
    }
}

void CIPOWatchDetails::ShowEntry(IPODetailsEntry* entry) {
    if (!entry) {
        return;
    }
    const std::array<std::string, kFieldCount> fields{
        base::OrEmpty(entry->IPOName()),
        base::Format("%" PRId64, entry->IssueSize()),
        base::Format("%.2f", entry->FaceValue()),
        base::OrEmpty(entry->BidStartTime()),
        base::OrEmpty(entry->BidEndTime()),
        base::Format("%" PRId32, entry->MinimumBidQuantity()),
        base::OrEmpty(entry->Rating()),
        base::OrEmpty(entry->Registrar()),
        base::OrEmpty(entry->ProspectusLink()),
        base::OrEmpty(entry->BrokerRecommendation()),
    };
    for (size_t i = 0; i < kFieldCount; ++i) {
        texts_[i] = fields[i];
        // An empty text keeps what the box showed for the previous issue.
        if (form_ && !texts_[i].empty()) {
            form_->SetText(kBoxes[i], texts_[i]);
        }
    }
}

void CIPOWatchDetails::Show() {
    if (form_) {
        form_->ShowWindow(true);
    }
}

void CIPOWatchDetails::OnCancel() {
    Hide();
    if (onClosed) {
        onClosed();
    }
}

void CIPOWatchDetails::Hide() {
    if (form_) {
        form_->ShowWindow(false);
    }
}
