#include "app/DialogFaceChoice.h"

#include <cmath>

namespace DialogFaceChoice {

namespace {

struct Face {
    const char *family;
    bool bitmapOnly;
};

// In order of preference. Microsoft Sans Serif is the scalable face Windows made from
// MS Sans Serif and has on every installation; Tahoma has nearly the same metrics and
// ships with Wine, so Linux has it wherever it has Wine's MS Sans Serif.
const Face kWindowsFaces[] = {
    {"Microsoft Sans Serif", false},
    {"Tahoma", false},
};
const Face kOtherFaces[] = {
    {"MS Sans Serif", true},
    {"Tahoma", false},
    {"Microsoft Sans Serif", false},
};

// Ratios this close to 1 are 1: a scale factor read from a setting may carry rounding.
constexpr double kUnitRatioTolerance = 0.01;

template <std::size_t N>
QString firstPresent(const Face (&faces)[N], const QStringList &available, double ratio)
{
    for (const Face &face : faces) {
        if (face.bitmapOnly && !bitmapFaceFits(ratio))
            continue;
        const QString family = QString::fromLatin1(face.family);
        if (available.contains(family, Qt::CaseInsensitive))
            return family;
    }
    return {};
}

} // namespace

bool bitmapFaceFits(double devicePixelRatio)
{
    return std::abs(devicePixelRatio - 1.0) < kUnitRatioTolerance;
}

QString family(const QStringList &available, double devicePixelRatio, Platform platform, const QString &systemFamily)
{
    const QString chosen = platform == Platform::Windows ? firstPresent(kWindowsFaces, available, devicePixelRatio)
                                                         : firstPresent(kOtherFaces, available, devicePixelRatio);
    return chosen.isEmpty() ? systemFamily : chosen;
}

} // namespace DialogFaceChoice
