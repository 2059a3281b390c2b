#pragma once

#include <QString>
#include <functional>

// Where a run-time failure that no handler traps ends up: its number and description.
using RunTimeErrorReport = std::function<void(int number, const QString &description)>;

namespace RunTimeErrorNumber {
constexpr int OutOfMemory = 7;
constexpr int Internal = 51;   // a failure that carries no number of its own
} // namespace RunTimeErrorNumber

// Runs one handler's work so that no exception reaches Qt's event loop: a RuntimeError
// keeps its number and description, any other failure is reported as out of memory
// or as an internal error. Returns false when the work failed and was reported.
bool runReportingFailure(const std::function<void()> &work, const RunTimeErrorReport &report);
