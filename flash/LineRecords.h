#pragma once

#include <QByteArray>
#include <QVector>

// The firmware as the line transfer sends it: element k is the wire-form body of
// record k, byte for byte as stored in the container. Indices 0 to U.
using LineRecords = QVector<QByteArray>;
