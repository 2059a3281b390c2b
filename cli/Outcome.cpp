#include "cli/Outcome.h"

#include <stdexcept>

const QList<OutcomeRow> &outcomeTable()
{
    static const QList<OutcomeRow> table = {
        {Outcome::Flashed, 0, "flashed", "flashed, or found up to date and so left alone"},
        {Outcome::UpToDate, 0, "up-to-date", "flashed, or found up to date and so left alone"},
        {Outcome::NeedsFlashing, 1, "needs-flashing", "check: the camera runs another version and needs flashing"},
        {Outcome::Usage, 2, "usage",
         "wrong command line, a refused firmware file, or flash without a terminal to ask and without --yes"},
        {Outcome::NotPtz2, 3, "not-ptz2", "the camera does not seem to be a PictureTel PTZ 2 (flash: use --force)"},
        {Outcome::NoResponse, 4, "no-response", "no response from the camera"},
        {Outcome::PortNotOpened, 5, "port-not-opened", "the port could not be opened"},
        {Outcome::Interrupted, 6, "interrupted", "interrupted (Ctrl-C), or flashing declined at the question"},
        {Outcome::PowerCycle, 7, "power-cycle", "the camera must be power-cycled, then flashed again"},
        {Outcome::PortFailed, 8, "port-failed",
         "the port failed during the download: power-cycle the camera and flash it again"},
    };
    return table;
}

const OutcomeRow &outcomeRow(Outcome outcome)
{
    for (const OutcomeRow &row : outcomeTable())
        if (row.outcome == outcome)
            return row;
    throw std::logic_error("outcome without a row");
}

Outcome worse(Outcome a, Outcome b)
{
    return outcomeRow(b).exitStatus > outcomeRow(a).exitStatus ? b : a;
}
