#pragma once

#include <QByteArray>

// Frame format on the wire: STX, the command bytes, EOT. No length, no checksum,
// no escaping by the link: no fixed command holds STX or EOT, and firmware lines
// arrive already escaped.
namespace Frame {
constexpr char STX = 0x02;
constexpr char EOT = 0x04;
} // namespace Frame

// Every fixed command the program sends. The "0" in them is the digit 0x30.
enum class Command {
    QGt,     // camera check, first command
    ckkV,    // camera check, second command
    cki0n,   // camera check, third command; closing script
    ckb0,    // version request in the check; first command of the closing script
    ckl0,    // puts the camera into download mode
    ckz0m,   // closing script, twice
    cDd0k3,  // closing script
    cDr0k,   // closing script
    ckk,     // closing script
    ckd0F2,  // closing script: "ckd0" followed by the byte 0xF2
};

// The command bytes between STX and EOT, as stored in the frame table.
QByteArray commandBytes(Command command);

// The whole frame: STX, command bytes, EOT.
QByteArray frameFor(Command command);

// Head of a firmware line frame: STX "ckw". The line record and a single EOT follow.
QByteArray lineFrameHead();
QByteArray lineFrameTail();
