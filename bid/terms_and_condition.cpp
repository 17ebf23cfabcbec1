#include "bid/terms_and_condition.h"

#include "base/platform.h"
#include "base/text.h"
#include "bid/ipo_order_entry_layout.h"
#include "framework/backend.h"
#include "framework/files.h"
#include "plugin/login_context.h"

namespace {
constexpr size_t kReadBufferSize = 1024;
constexpr fw::Point kViewerPosition = {523, 585};
}  // namespace

CTermsandCondition::CTermsandCondition(fw::Form* parent) : parent_(parent) {}

int CTermsandCondition::DoModal() {
    fw::Backend* backend = fw::GetBackend();
    const int result =
        backend ? backend->DoModal(TermsAndConditionLayout(), *this, parent_) : fw::kIdCancel;
    form_ = nullptr;
    return result;
}

std::string CTermsandCondition::FilePath() {
    return Login().WorkingDirectory + base::kPathSeparator + "IPOTermsAndConditions.html";
}

void CTermsandCondition::OnInitDialog(fw::Form& form) {
    form_ = &form;
    form.SetText(kTermsText, text_);
    form.MoveTo(kViewerPosition);

    const std::string path = FilePath();
    const std::optional<std::string> head = fw::ReadFileHead(path, kReadBufferSize);
    if (!head) {
        fw::MessageBox(base::Format("Failed to load %s", path.c_str()), fw::MessageIcon::Error);
        return;
    }
    // The file is shown as text: up to its first NUL byte.
    text_ = head->substr(0, head->find('\0'));
    form.SetText(kTermsText, text_);
}

void CTermsandCondition::OnCancel() {
    if (form_) {
        form_->EndDialog(fw::kIdCancel);
    }
}
