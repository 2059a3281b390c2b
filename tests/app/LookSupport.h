#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>
#include <QWidget>

// Measuring what a grabbed window shows: the colours of a region, how far its text
// stands out from its ground, and where ink lies.
namespace LookSupport {

// WCAG contrast ratio of two colours: 1 (the same) to 21 (black on white).
double contrastRatio(const QColor &a, const QColor &b);

// WCAG relative luminance, 0 (black) to 1 (white).
double luminance(const QColor &colour);

// The ground of a region (its most common colour) and its ink (the pixel that stands
// out most from the ground).
struct Ink {
    QColor ground;
    QColor ink;
    double contrast() const { return contrastRatio(ground, ink); }
};
Ink inkOf(const QImage &image, const QRect &region);

// Where `widget` lies in a picture grabbed from `top` at the picture's device pixel ratio.
QRect regionOf(const QWidget *widget, const QWidget *top, const QImage &grabbed);

// The rows of the region that hold ink (pixels at least `threshold` in contrast with
// the ground), as the length of the first unbroken run of them.
int firstInkRunHeight(const QImage &image, const QRect &region, double threshold);

// How many pixels of the region stand out at least `threshold` from its ground.
int inkPixels(const QImage &image, const QRect &region, double threshold);

// The first rows of every unbroken run of ink rows, top to bottom, relative to the region.
QList<int> inkRunStarts(const QImage &image, const QRect &region, double threshold);

} // namespace LookSupport
