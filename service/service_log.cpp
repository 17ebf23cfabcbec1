#include "service/service_log.h"

#include <fcntl.h>
#include <fmt/format.h>
#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/spdlog.h>
#include <unistd.h>

#include <cstring>
#include <iostream>
#include <iterator>
#include <memory>
#include <mutex>
#include <stdexcept>

namespace svc {
namespace {

std::mutex logMutex;
std::shared_ptr<spdlog::logger> logger;
std::string logPath;

std::shared_ptr<spdlog::logger> Current() {
    std::lock_guard<std::mutex> lock(logMutex);
    return logger;
}

// A request path as logged: the printable bytes, anything else as "?".
std::string Printable(const std::string& text) {
    std::string shown = text.substr(0, 200);
    for (char& c : shown) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x21 || byte > 0x7E) {
            c = '?';
        }
    }
    return shown;
}

}  // namespace

void OpenLog(const std::string& path) {
    const int created = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (created < 0) {
        throw std::runtime_error("cannot write the log " + path + ": " + std::strerror(errno));
    }
    close(created);
    try {
        auto sink = std::make_shared<spdlog::sinks::basic_file_sink_mt>(path, false);
        auto opened = std::make_shared<spdlog::logger>("ipo-service", std::move(sink));
        opened->set_pattern("%Y-%m-%d %H:%M:%S.%e %v");
        opened->flush_on(spdlog::level::info);  // every line reaches the file at once
        std::lock_guard<std::mutex> lock(logMutex);
        logger = std::move(opened);
        logPath = path;
    } catch (const spdlog::spdlog_ex& error) {
        throw std::runtime_error("cannot write the log " + path + ": " + error.what());
    }
}

void ReopenLog() {
    std::string path;
    {
        std::lock_guard<std::mutex> lock(logMutex);
        path = logPath;
    }
    if (path.empty()) {
        return;
    }
    try {
        OpenLog(path);
    } catch (const std::runtime_error& error) {
        // The old file stays in use: no line is lost while the operator fixes the folder.
        std::cerr << "ipo-service: " << error.what() << std::endl;
    }
}

void CloseLog() {
    std::lock_guard<std::mutex> lock(logMutex);
    if (logger) {
        logger->flush();
        logger.reset();
    }
}

void LogAccess(const HttpRequest& request, const HttpReply& reply, double ms) {
    const auto log = Current();
    if (!log) {
        return;
    }
    // Formatted with fmt, not printf: a line per request, its five fractions among them, was a
    // sixth of the service's time for a cached answer.
    fmt::memory_buffer line;
    const auto out = std::back_inserter(line);
    fmt::format_to(out, "access {} {} {} status={} ms={:.3f} user={} code={} result={}",
                   request.remote, Printable(request.method), Printable(request.path), reply.status,
                   ms, reply.user.empty() ? "-" : Printable(reply.user),
                   reply.code.empty() ? "-" : reply.code, reply.result);
    if (reply.order > 0) {
        fmt::format_to(out, " order={}", reply.order);
    }
    if (const RequestStages& stages = reply.stages; stages.work > 0) {
        fmt::format_to(out, " session_ms={:.3f} queued_ms={:.3f} work_ms={:.3f} commit_ms={:.3f}",
                       stages.session, stages.queued, stages.work, stages.commit);
    }
    log->info(std::string_view(line.data(), line.size()));
}

void LogAudit(const std::string& line) {
    if (const auto log = Current()) {
        log->info("audit " + line);
    }
}

}  // namespace svc
