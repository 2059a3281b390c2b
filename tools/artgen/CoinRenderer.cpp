#include "CoinRenderer.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadius = 30.0;          // disc radius in logical pixels
constexpr double kHalfThickness = 2.0;    // half the coin's thickness: the rim seen edge-on is 4 px
constexpr int kSubsamples = 4;            // per axis: 16 samples a pixel smooth the edges

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kOutline = qRgb(16, 48, 128);
const QRgb kFrontBody = qRgb(40, 100, 200);
const QRgb kHighlight = qRgb(84, 140, 224);
const QRgb kLens = qRgb(20, 28, 60);
const QRgb kIris = qRgb(56, 96, 176);
const QRgb kBackBody = qRgb(28, 76, 164);
const QRgb kSilver = qRgb(200, 210, 226);
const QRgb kRim = qRgb(10, 32, 88);

double squared(double v) { return v * v; }

bool inCircle(double u, double v, double cu, double cv, double r)
{
    return squared(u - cu) + squared(v - cv) <= r * r;
}

// An arrowhead pointing outwards along the unit direction (du, dv).
bool inArrowhead(double u, double v, double du, double dv)
{
    constexpr double kBase = 0.64, kApex = 0.86, kHalfBase = 0.14;
    const double along = u * du + v * dv;
    const double across = std::abs(-u * dv + v * du);
    if (along < kBase || along > kApex)
        return false;
    return across <= kHalfBase * (kApex - along) / (kApex - kBase);
}

} // namespace

QVector<QRgb> CoinRenderer::keyColours()
{
    return {kWhite, kOutline, kFrontBody, kHighlight, kLens, kIris, kBackBody, kSilver, kRim};
}

QRgb CoinRenderer::frontFace(double u, double v)
{
    const double r = std::sqrt(u * u + v * v);
    if (r > 0.92)
        return kOutline;
    if (inArrowhead(u, v, 1, 0) || inArrowhead(u, v, -1, 0) || inArrowhead(u, v, 0, 1) || inArrowhead(u, v, 0, -1))
        return kWhite;
    if (r > 0.56)
        return inCircle(u, v, -0.24, -0.24, 0.56) ? kHighlight : kFrontBody;
    if (r > 0.44)
        return kWhite;
    if (inCircle(u, v, -0.15, -0.15, 0.085))
        return kWhite;   // the glint on the glass
    return r > 0.24 ? kLens : kIris;
}

QRgb CoinRenderer::backFace(double u, double v)
{
    const double r = std::sqrt(u * u + v * v);
    if (r > 0.92)
        return kOutline;
    if ((r > 0.40 && r <= 0.50) || r <= 0.14)
        return kSilver;
    constexpr double kScrew = 0.51;
    for (double su : {-kScrew, kScrew})
        for (double sv : {-kScrew, kScrew})
            if (inCircle(u, v, su, sv, 0.065))
                return kSilver;
    return kBackBody;
}

// The coin's axis is vertical through the cell's centre. Turned by the angle a, a
// face is an ellipse of half-width R |sin a|; the front face sits T/2 cos a to the side
// of the axis and the back face as far to the other side, and the rim fills the
// band the disc sweeps between them.
CoinRenderer::CoinRenderer(int scale) : m_scale(scale) {}

int CoinRenderer::pixelSize() const
{
    return kCellSize * m_scale;
}

QRgb CoinRenderer::sample(double x, double y, double sinA, double cosA) const
{
    const double radius = kRadius * m_scale;
    const double centre = pixelSize() / 2.0;
    const double dx = x - centre;
    const double dy = y - centre;
    if (std::abs(dy) > radius)
        return kWhite;
    const double halfWidth = radius * std::abs(sinA);
    const double shift = kHalfThickness * m_scale * cosA;
    const bool frontShows = sinA > 0;
    const double faceCentre = frontShows ? shift : -shift;
    const double v = dy / radius;

    if (halfWidth > 1e-9) {
        const double u = (dx - faceCentre) / halfWidth;
        if (u * u + v * v <= 1.0)
            return frontShows ? frontFace(u, v) : backFace(-u, v);   // the back is seen mirrored
    }
    const double band = std::abs(shift);
    const double outside = dx - std::clamp(dx, -band, band);
    if (halfWidth <= 1e-9)
        return outside == 0.0 ? kRim : kWhite;
    return squared(outside / halfWidth) + v * v <= 1.0 ? kRim : kWhite;
}

QImage CoinRenderer::cell(double angle) const
{
    const double sinA = std::sin(angle);
    const double cosA = std::cos(angle);
    const int size = pixelSize();
    QImage image(size, size, QImage::Format_RGB32);
    constexpr int kSamples = kSubsamples * kSubsamples;
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            int red = 0, green = 0, blue = 0;
            for (int sy = 0; sy < kSubsamples; ++sy) {
                for (int sx = 0; sx < kSubsamples; ++sx) {
                    const QRgb c = sample(px + (sx + 0.5) / kSubsamples, py + (sy + 0.5) / kSubsamples, sinA, cosA);
                    red += qRed(c);
                    green += qGreen(c);
                    blue += qBlue(c);
                }
            }
            image.setPixel(px, py, qRgb((red + kSamples / 2) / kSamples, (green + kSamples / 2) / kSamples,
                                        (blue + kSamples / 2) / kSamples));
        }
    }
    return image;
}

QImage CoinRenderer::emblem() const
{
    return cell(kPi / 2);
}
