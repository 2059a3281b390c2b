#pragma once

#include "link/ComPortMapping.h"

class QComboBox;

// The COM port list's tooltips: each entry names the device it stands for and what is
// known of it; the entry whose port failed at the last check also gives the cause.
// The entries' own texts stay " 1" to "16".

// The tooltip of one entry; `failure` is empty unless that port failed.
QString comPortTip(const ComPortAssignment &port, const QString &failure);

// Puts the tips on the list's entries (matched by position: entry i is COM i+1), as
// rich text made from comPortTip's plain text, and
// the selected entry's tip on the list itself, where it shows without opening the list.
void showComPortTips(QComboBox *list, const QList<ComPortAssignment> &ports, qint16 failedPort, const QString &failure);

// Keeps the list's own tip on the selected entry's as the selection changes.
void followSelectedTip(QComboBox *list);
