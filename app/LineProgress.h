#pragma once

#include <QString>
#include <QtGlobal>

// The figures of the progress page while line `lineIndex` of 0..upper is on its way.
namespace LineProgress {

// Width in pixels of the bar in a bar area `innerWidth` wide: innerWidth * lineIndex / upper,
// rounded to the nearest pixel. An image of one line (upper 0) shows a full bar.
int barWidth(int innerWidth, qint32 lineIndex, qint32 upper);

// lineIndex / upper * 100 with two decimals, ties away from zero, then "% Complete ":
// "0.00% Complete " for line 0, "100.00% Complete " for line upper.
QString percentText(qint32 lineIndex, qint32 upper);

} // namespace LineProgress
