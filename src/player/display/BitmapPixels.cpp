#include "BitmapPixels.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace player::display {

namespace {

uint32_t channel(uint32_t color, int shift)
{
    return (color >> shift) & 0xFF;
}

uint32_t clampChannel(double value)
{
    if (!(value > 0))
        return 0;
    return value >= 255 ? 255u : static_cast<uint32_t>(value);
}

} // namespace

bool BitmapPixels::isAllowedSize(int width, int height, int swfVersion)
{
    if (width <= 0 || height <= 0)
        return false;
    if (swfVersion <= 9)
        return width <= 2880 && height <= 2880;
    return width <= 8191 && height <= 8191 && qint64(width) * height <= 16777215;
}

BitmapPixels::BitmapPixels(int width, int height, bool transparent, uint32_t fillColor)
    : m_image(std::max(1, width), std::max(1, height), QImage::Format_ARGB32_Premultiplied), m_transparent(transparent)
{
    m_image.fill(stored(fillColor));
}

uint32_t BitmapPixels::premultiply(uint32_t color)
{
    const uint32_t alpha = channel(color, 24);
    if (alpha == 255)
        return color;
    if (alpha == 0)
        return 0;
    auto scaled = [alpha](uint32_t value) { return static_cast<uint32_t>(std::lround(value * alpha / 255.0)); };
    return (alpha << 24) | (scaled(channel(color, 16)) << 16) | (scaled(channel(color, 8)) << 8) | scaled(channel(color, 0));
}

uint32_t BitmapPixels::unmultiply(uint32_t premultiplied)
{
    const uint32_t alpha = channel(premultiplied, 24);
    if (alpha == 255)
        return premultiplied;
    if (alpha == 0)
        return 0;
    // Flash divides by multiplying with 255/alpha in 8.8 fixed point, the fraction cut off,
    // and rounds what that gives with a little less than a half: 0xAABBCCDD is kept as
    // 0xAA7D8893 and reads back as 0xAABBCCDC, and a channel kept as 207 at alpha 247 reads
    // back as 213, not the 214 an exact division would round to.
    const uint32_t reciprocal = 0xFF00u / alpha;
    auto scaled = [reciprocal](uint32_t value) { return std::min<uint32_t>(255, (value * reciprocal + 127) >> 8); };
    return (alpha << 24) | (scaled(channel(premultiplied, 16)) << 16) | (scaled(channel(premultiplied, 8)) << 8)
        | scaled(channel(premultiplied, 0));
}

uint32_t BitmapPixels::scaledByAlphaBitmap(uint32_t premultiplied, uint32_t scale)
{
    const uint32_t alpha = channel(premultiplied, 24);
    if (alpha == 0)
        return 0;
    // An opaque pixel takes the alpha bitmap's alpha as it is. A translucent one is scaled in
    // 256ths, which drops a little, and its colour is taken out of premultiplied form (halves
    // going up), then put back at the new alpha rounded to nearest: 0x44242424 through an alpha
    // of 0xEE becomes 0x3F212121.
    const uint32_t scaledAlpha = alpha == 255 ? scale : (alpha * scale) >> 8;
    uint32_t result = scaledAlpha << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t color = std::min<uint32_t>(255, (channel(premultiplied, shift) * 255 + alpha / 2) / alpha);
        result |= ((color * scaledAlpha + 127) / 255) << shift;
    }
    return result;
}

uint32_t BitmapPixels::stored(uint32_t color) const
{
    // An opaque bitmap has no alpha channel: whatever alpha is given, its pixels stay opaque.
    return m_transparent ? premultiply(color) : (color | 0xFF000000u);
}

uint32_t BitmapPixels::pixel32(int x, int y) const
{
    if (!m_image.rect().contains(x, y))
        return 0;
    return unmultiply(reinterpret_cast<const uint32_t*>(m_image.constScanLine(y))[x]);
}

void BitmapPixels::setPixel32(int x, int y, uint32_t color)
{
    if (!m_image.rect().contains(x, y))
        return;
    reinterpret_cast<uint32_t*>(m_image.scanLine(y))[x] = stored(color);
    ++m_version;
}

void BitmapPixels::setPixel(int x, int y, uint32_t color)
{
    if (!m_image.rect().contains(x, y))
        return;
    const uint32_t alpha = pixel32(x, y) & 0xFF000000u;
    setPixel32(x, y, alpha | (color & 0xFFFFFF));
}

void BitmapPixels::fillRect(const QRect& area, uint32_t color)
{
    const QRect target = clipped(area);
    if (target.isEmpty())
        return;
    const uint32_t value = stored(color);
    for (int y = target.top(); y <= target.bottom(); ++y) {
        uint32_t* line = reinterpret_cast<uint32_t*>(m_image.scanLine(y));
        std::fill(line + target.left(), line + target.right() + 1, value);
    }
    ++m_version;
}

void BitmapPixels::copyPixels(const BitmapPixels& source, const QRect& area, const QPoint& destination, bool mergeAlpha,
                              const BitmapPixels* alphaBitmap, const QPoint& alphaPoint)
{
    // The part of the area that exists in the source, moved to where it lands, cut to this bitmap.
    QRect from = area.intersected(source.rect());
    QRect to = from.translated(destination - area.topLeft()).intersected(m_image.rect());
    if (to.isEmpty())
        return;
    from = to.translated(area.topLeft() - destination);
    if (alphaBitmap && !alphaBitmap->m_transparent)
        alphaBitmap = nullptr;
    // Into an opaque bitmap Flash lays a translucent source over what is there even without
    // mergeAlpha.
    const bool layOver = mergeAlpha || !m_transparent;
    // Copy through a buffer: source and destination may be the same bitmap.
    std::vector<uint32_t> row(static_cast<size_t>(to.width()));
    const int firstRow = to.top() <= from.top() ? 0 : to.height() - 1;
    const int step = to.top() <= from.top() ? 1 : -1;
    for (int index = 0, r = firstRow; index < to.height(); ++index, r += step) {
        const uint32_t* input = reinterpret_cast<const uint32_t*>(source.m_image.constScanLine(from.top() + r)) + from.left();
        std::copy(input, input + to.width(), row.begin());
        uint32_t* output = reinterpret_cast<uint32_t*>(m_image.scanLine(to.top() + r)) + to.left();
        const int alphaY = alphaPoint.y() + from.top() + r - area.top();
        for (int column = 0; column < to.width(); ++column) {
            uint32_t value = row[size_t(column)];
            if (alphaBitmap) {
                const QPoint at(alphaPoint.x() + from.left() + column - area.left(), alphaY);
                if (!alphaBitmap->rect().contains(at))
                    continue;
                const uint32_t scale = channel(reinterpret_cast<const uint32_t*>(alphaBitmap->m_image.constScanLine(at.y()))[at.x()], 24);
                value = scaledByAlphaBitmap(value, scale);
            }
            if (layOver) {
                // Source over destination, both premultiplied. Flash truncates what shows through.
                const uint32_t inverse = 255 - channel(value, 24);
                const uint32_t under = output[column];
                uint32_t result = 0;
                for (int shift = 0; shift < 32; shift += 8) {
                    const uint32_t mixed = channel(value, shift) + channel(under, shift) * inverse / 255;
                    result |= std::min<uint32_t>(255, mixed) << shift;
                }
                value = result;
            }
            output[column] = m_transparent ? value : (value | 0xFF000000u);
        }
    }
    ++m_version;
}

void BitmapPixels::colorTransform(const QRect& area, const ColorTransform& transform)
{
    const QRect target = clipped(area);
    if (target.isEmpty())
        return;
    // Flash takes a transform that touches only alpha another way, and that way never raises
    // alpha by multiplying: an alpha multiplier above 1 alone leaves the pixels as they were,
    // though the same multiplier next to a colour change does double alpha.
    const bool alphaOnly = transform.redMultiplier == 1 && transform.greenMultiplier == 1
        && transform.blueMultiplier == 1 && transform.redOffset == 0 && transform.greenOffset == 0
        && transform.blueOffset == 0;
    const double alphaMultiplier = alphaOnly ? std::min(transform.alphaMultiplier, 1.0) : transform.alphaMultiplier;
    for (int y = target.top(); y <= target.bottom(); ++y) {
        for (int x = target.left(); x <= target.right(); ++x) {
            const uint32_t color = pixel32(x, y);
            const uint32_t alpha = clampChannel(channel(color, 24) * alphaMultiplier + transform.alphaOffset);
            const uint32_t red = clampChannel(channel(color, 16) * transform.redMultiplier + transform.redOffset);
            const uint32_t green = clampChannel(channel(color, 8) * transform.greenMultiplier + transform.greenOffset);
            const uint32_t blue = clampChannel(channel(color, 0) * transform.blueMultiplier + transform.blueOffset);
            reinterpret_cast<uint32_t*>(m_image.scanLine(y))[x] = stored((alpha << 24) | (red << 16) | (green << 8) | blue);
        }
    }
    ++m_version;
}

bool BitmapPixels::floodFill(int x, int y, uint32_t color)
{
    if (!m_image.rect().contains(x, y))
        return false;
    const uint32_t replaced = reinterpret_cast<const uint32_t*>(m_image.constScanLine(y))[x];
    const uint32_t value = stored(color);
    if (replaced == value)
        return false;
    std::vector<QPoint> pending{QPoint(x, y)};
    while (!pending.empty()) {
        const QPoint point = pending.back();
        pending.pop_back();
        if (!m_image.rect().contains(point))
            continue;
        uint32_t& here = reinterpret_cast<uint32_t*>(m_image.scanLine(point.y()))[point.x()];
        if (here != replaced)
            continue;
        here = value;
        pending.push_back(point + QPoint(1, 0));
        pending.push_back(point - QPoint(1, 0));
        pending.push_back(point + QPoint(0, 1));
        pending.push_back(point - QPoint(0, 1));
    }
    ++m_version;
    return true;
}

void BitmapPixels::replaceImage(const QImage& image)
{
    QImage converted = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (converted.size() != m_image.size())
        converted = converted.copy(m_image.rect());
    if (!m_transparent) {
        for (int y = 0; y < converted.height(); ++y) {
            uint32_t* line = reinterpret_cast<uint32_t*>(converted.scanLine(y));
            for (int x = 0; x < converted.width(); ++x)
                line[x] = unmultiply(line[x]) | 0xFF000000u;
        }
    }
    m_image = std::move(converted);
    ++m_version;
}

} // namespace player::display
