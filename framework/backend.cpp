#include "framework/backend.h"

namespace fw {
namespace {
Backend* g_backend = nullptr;
}

void SetBackend(Backend* backend) { g_backend = backend; }
Backend* GetBackend() { return g_backend; }

int MessageBox(std::string_view text, MessageIcon icon) {
    return g_backend ? g_backend->MessageBox(text, icon) : kIdOk;
}

bool SetClipboardText(std::string_view text) {
    return g_backend && g_backend->SetClipboardText(text);
}

LocalTime Now() { return g_backend ? g_backend->Now() : LocalTime{}; }

base::Date Today() {
    const LocalTime now = Now();
    return {now.year, now.month, now.day};
}

WaitCursor::WaitCursor() {
    if (g_backend) {
        g_backend->BeginWaitCursor();
    }
}

WaitCursor::~WaitCursor() {
    if (g_backend) {
        g_backend->EndWaitCursor();
    }
}

}  // namespace fw
