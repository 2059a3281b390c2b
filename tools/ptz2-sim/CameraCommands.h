#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The commands the camera knows, by the bytes between STX and EOT. A frame is known
// by a short name in logs, reports and --ignore: the command itself, "ckd0" for
// "ckd0" followed by 0xF2, and "ckw" for every firmware line frame.
namespace CameraCommands {

inline const QString kLine = QStringLiteral("ckw");
inline const QString kVersionRequest = QStringLiteral("ckb0");
inline const QString kDownloadStart = QStringLiteral("ckl0");
inline const QString kSleep = QStringLiteral("ckz0m");

// True for a firmware line frame: "ckw" and the line body.
bool isLine(const QByteArray &command);

// The name of a known command or line frame; empty for anything else.
QString knownName(const QByteArray &command);

// A printable rendering of any frame, for logs: the known name, or "?" and the
// bytes with everything outside printable ASCII shown as \xHH.
QString displayName(const QByteArray &command);

QStringList knownNames();

} // namespace CameraCommands
