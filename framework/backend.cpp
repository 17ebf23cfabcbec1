#include "framework/backend.h"

namespace fw {
namespace {
Backend* g_backend = nullptr;
}

void SetBackend(Backend* backend) {
    g_backend = backend;
}
Backend* GetBackend() {
    return g_backend;
}

std::vector<std::string> FilterParts(std::string_view filter) {
    while (filter.size() >= 2 && filter.substr(filter.size() - 2) == "||") {
        filter.remove_suffix(2);
    }
    std::vector<std::string> parts;
    while (!filter.empty()) {
        const size_t bar = filter.find('|');
        const std::string_view part = filter.substr(0, bar);
        const size_t first = part.find_first_not_of(' ');
        const size_t last = part.find_last_not_of(' ');
        parts.emplace_back(first == std::string_view::npos ? std::string_view()
                                                           : part.substr(first, last - first + 1));
        filter = bar == std::string_view::npos ? std::string_view() : filter.substr(bar + 1);
    }
    return parts;
}

int MessageBox(std::string_view text, MessageIcon icon) {
    return g_backend ? g_backend->MessageBox(text, icon) : kIdOk;
}

bool SetClipboardText(std::string_view text) {
    return g_backend && g_backend->SetClipboardText(text);
}

LocalTime Now() {
    return g_backend ? g_backend->Now() : LocalTime{};
}

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
