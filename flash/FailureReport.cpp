#include "flash/FailureReport.h"

#include "link/RuntimeError.h"

#include <exception>
#include <new>

bool runReportingFailure(const std::function<void()> &work, const RunTimeErrorReport &report)
{
    int number = 0;
    QString description;
    try {
        work();
        return true;
    } catch (const RuntimeError &error) {
        number = error.number();
        description = error.description();
    } catch (const std::bad_alloc &) {
        number = RunTimeErrorNumber::OutOfMemory;
        description = QStringLiteral("Out of memory");
    } catch (const std::exception &error) {
        number = RunTimeErrorNumber::Internal;
        description = QString::fromLocal8Bit(error.what());
        if (description.isEmpty())
            description = QStringLiteral("Internal error");
    } catch (...) {
        number = RunTimeErrorNumber::Internal;
        description = QStringLiteral("Internal error");
    }
    // Reported outside the handlers: a report that shows a window runs its own event loop.
    report(number, description);
    return false;
}
