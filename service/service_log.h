// The operator's log: one access line per answered request and one audit line per change of an
// order's state, in one file named by --log. Lines name users, clients, orders and results;
// never a password, a session token, a UPI id or an account number.
#pragma once

#include <string>

#include "service/http_server.h"

namespace svc {

// Opens (creating it readable by its owner alone) or appends to the log file; throws
// std::runtime_error when it cannot. Without it nothing is logged.
void OpenLog(const std::string& path);
// Opens the log's path again (a new file once the old one was rotated away); when it cannot,
// says so on standard error and keeps writing to the old file.
void ReopenLog();
// Writes what is buffered and closes the file.
void CloseLog();

// "access REMOTE METHOD PATH status=S ms=T user=U code=C result=R [order=N]", and for a request
// that reached its handler "session_ms=.. queued_ms=.. work_ms=.. commit_ms=.." (its stages).
void LogAccess(const HttpRequest& request, const HttpReply& reply, double ms);
// "audit order=N EVENT ..." for a placed, modified or cancelled order or an operator command.
void LogAudit(const std::string& line);

}  // namespace svc
