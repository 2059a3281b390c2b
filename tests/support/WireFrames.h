#pragma once

#include <QByteArray>

// Frames as they go on the wire, written out here so that the tests do not take them from
// the code they check: STX, the text, EOT; and the camera's acknowledgement.
inline const QByteArray STX(1, '\x02');
inline const QByteArray EOT(1, '\x04');
inline QByteArray framed(const QByteArray &text) { return STX + text + EOT; }
inline const QByteArray kAck = framed("lvr");
