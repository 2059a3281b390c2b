#include "PaletteReducer.h"

#include <algorithm>
#include <climits>
#include <map>
#include <utility>
#include <vector>

namespace {

using Bucket = std::vector<std::pair<QRgb, qint64>>;   // colour and how many pixels have it

int channel(QRgb c, int which)
{
    return which == 0 ? qRed(c) : which == 1 ? qGreen(c) : qBlue(c);
}

// The channel with the widest spread in the bucket, and that spread.
std::pair<int, int> widestChannel(const Bucket &bucket)
{
    int best = 0, bestRange = -1;
    for (int which = 0; which < 3; ++which) {
        int low = 255, high = 0;
        for (const auto &entry : bucket) {
            low = std::min(low, channel(entry.first, which));
            high = std::max(high, channel(entry.first, which));
        }
        if (high - low > bestRange) {
            bestRange = high - low;
            best = which;
        }
    }
    return {best, bestRange};
}

QRgb meanColour(const Bucket &bucket)
{
    qint64 weight = 0, red = 0, green = 0, blue = 0;
    for (const auto &[colour, count] : bucket) {
        weight += count;
        red += qRed(colour) * count;
        green += qGreen(colour) * count;
        blue += qBlue(colour) * count;
    }
    return qRgb(int((red + weight / 2) / weight), int((green + weight / 2) / weight), int((blue + weight / 2) / weight));
}

} // namespace

QVector<QRgb> PaletteReducer::medianCut(const QImage &rgb, const QVector<QRgb> &keys, int entries)
{
    std::map<QRgb, qint64> counts;
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = rgb.pixel(x, y) | 0xff000000u;
            if (!keys.contains(c))
                ++counts[c];
        }
    QVector<QRgb> palette;
    if (counts.empty() || entries <= 0)
        return palette;

    std::vector<Bucket> buckets(1, Bucket(counts.begin(), counts.end()));
    while (int(buckets.size()) < entries) {
        int split = -1, splitChannel = 0, widest = 0;
        for (int i = 0; i < int(buckets.size()); ++i) {
            if (buckets[i].size() < 2)
                continue;
            const auto [which, range] = widestChannel(buckets[i]);
            if (range > widest) {
                widest = range;
                split = i;
                splitChannel = which;
            }
        }
        if (split < 0)
            break;   // every bucket holds a single colour: the palette is exact
        Bucket &bucket = buckets[split];
        std::stable_sort(bucket.begin(), bucket.end(), [splitChannel](const auto &a, const auto &b) {
            return channel(a.first, splitChannel) < channel(b.first, splitChannel);
        });
        qint64 total = 0;
        for (const auto &entry : bucket)
            total += entry.second;
        qint64 running = 0;
        size_t cut = 1;
        for (size_t i = 0; i + 1 < bucket.size(); ++i) {
            running += bucket[i].second;
            cut = i + 1;
            if (running * 2 >= total)
                break;
        }
        Bucket upper(bucket.begin() + qsizetype(cut), bucket.end());
        bucket.resize(cut);
        buckets.push_back(std::move(upper));
    }
    for (const Bucket &bucket : buckets)
        palette.append(meanColour(bucket));
    return palette;
}

int PaletteReducer::nearest(const QVector<QRgb> &palette, QRgb colour)
{
    int best = 0;
    int bestDistance = INT_MAX;
    for (int i = 0; i < palette.size(); ++i) {
        const int dr = qRed(palette[i]) - qRed(colour);
        const int dg = qGreen(palette[i]) - qGreen(colour);
        const int db = qBlue(palette[i]) - qBlue(colour);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

QImage PaletteReducer::reduce(const QImage &rgb, const QVector<QRgb> &keys, int colours)
{
    QVector<QRgb> palette = keys;
    palette += medianCut(rgb, keys, colours - int(keys.size()));
    const int used = int(palette.size());
    while (palette.size() < colours)
        palette.append(qRgb(0, 0, 0));   // unused entries keep the palette at its full size

    QImage indexed(rgb.size(), QImage::Format_Indexed8);
    indexed.setColorTable(palette);
    const QVector<QRgb> live = palette.mid(0, used);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            indexed.setPixel(x, y, uint(nearest(live, rgb.pixel(x, y) | 0xff000000u)));
    return indexed;
}
