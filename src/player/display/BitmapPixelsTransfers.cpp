// The BitmapData operations that move or test pixels between bitmaps: scroll, compare, merge,
// threshold, copyChannel, paletteMap, pixelDissolve, the hit tests and getColorBoundsRect.
#include "BitmapPixels.h"

#include <algorithm>

namespace player::display {

namespace {

uint32_t channelOf(uint32_t color, int shift)
{
    return (color >> shift) & 0xFF;
}

// The bit position of a channel numbered as BitmapData numbers them, or -1.
int shiftOfChannel(int channel)
{
    switch (channel) {
    case 1:
        return 16;
    case 2:
        return 8;
    case 4:
        return 0;
    case 8:
        return 24;
    default:
        return -1;
    }
}

bool passes(BitmapPixels::ThresholdTest test, uint32_t value, uint32_t threshold)
{
    switch (test) {
    case BitmapPixels::ThresholdTest::Less:
        return value < threshold;
    case BitmapPixels::ThresholdTest::LessOrEqual:
        return value <= threshold;
    case BitmapPixels::ThresholdTest::Greater:
        return value > threshold;
    case BitmapPixels::ThresholdTest::GreaterOrEqual:
        return value >= threshold;
    case BitmapPixels::ThresholdTest::Equal:
        return value == threshold;
    case BitmapPixels::ThresholdTest::NotEqual:
        return value != threshold;
    }
    return false;
}

} // namespace

BitmapPixels::Transfer BitmapPixels::transfer(const BitmapPixels& source, const QRect& area, const QPoint& destination) const
{
    const QPoint offset = destination - area.topLeft();
    const QRect landed = area.intersected(source.rect()).translated(offset).intersected(m_image.rect());
    return {landed.translated(-offset), offset};
}

void BitmapPixels::scroll(int dx, int dy)
{
    if ((dx == 0 && dy == 0) || std::abs(dx) >= width() || std::abs(dy) >= height())
        return;
    const QImage before = m_image;
    const QRect moved = m_image.rect().translated(dx, dy).intersected(m_image.rect());
    for (int y = moved.top(); y <= moved.bottom(); ++y) {
        const auto* input = reinterpret_cast<const uint32_t*>(before.constScanLine(y - dy));
        std::copy(input + moved.left() - dx, input + moved.right() + 1 - dx, &raw(moved.left(), y));
    }
    ++m_version;
}

std::optional<BitmapPixels> BitmapPixels::difference(const BitmapPixels& other) const
{
    BitmapPixels result(width(), height(), true, 0);
    bool differs = false;
    for (int y = 0; y < height(); ++y) {
        for (int x = 0; x < width(); ++x) {
            const uint32_t mine = unmultiply(raw(x, y));
            const uint32_t theirs = unmultiply(other.raw(x, y));
            if (mine == theirs)
                continue;
            differs = true;
            uint32_t value;
            if ((mine & 0xFFFFFF) != (theirs & 0xFFFFFF)) {
                value = 0xFF000000u;
                for (int shift = 0; shift < 24; shift += 8)
                    value |= ((channelOf(mine, shift) - channelOf(theirs, shift)) & 0xFF) << shift;
            } else {
                // Kept premultiplied: the colour reads back as white at that alpha.
                const uint32_t alpha = (channelOf(mine, 24) - channelOf(theirs, 24)) & 0xFF;
                value = alpha * 0x01010101u;
            }
            result.raw(x, y) = value;
        }
    }
    if (!differs)
        return std::nullopt;
    return result;
}

void BitmapPixels::merge(const BitmapPixels& source, const QRect& area, const QPoint& destination,
                         const std::array<int, 4>& multipliers)
{
    const Transfer part = transfer(source, area, destination);
    if (part.from.isEmpty())
        return;
    const QImage input = source.m_image;
    const int shifts[4] = {16, 8, 0, 24};
    for (int y = part.from.top(); y <= part.from.bottom(); ++y) {
        for (int x = part.from.left(); x <= part.from.right(); ++x) {
            const uint32_t from = unmultiply(reinterpret_cast<const uint32_t*>(input.constScanLine(y))[x]);
            uint32_t& target = raw(x + part.offset.x(), y + part.offset.y());
            const uint32_t under = unmultiply(target);
            uint32_t mixed = 0;
            for (int index = 0; index < 4; ++index) {
                const uint32_t weight = uint32_t(std::clamp(multipliers[size_t(index)], 0, 256));
                const int shift = shifts[index];
                mixed |= ((channelOf(from, shift) * weight + channelOf(under, shift) * (256 - weight)) / 256) << shift;
            }
            target = stored(mixed);
        }
    }
    ++m_version;
}

int BitmapPixels::threshold(const BitmapPixels& source, const QRect& area, const QPoint& destination, ThresholdTest test,
                            uint32_t threshold, uint32_t color, uint32_t mask, bool copySource)
{
    const Transfer part = transfer(source, area, destination);
    if (part.from.isEmpty())
        return 0;
    const BitmapPixels input = source;
    const uint32_t limit = threshold & mask;
    int passed = 0;
    for (int y = part.from.top(); y <= part.from.bottom(); ++y) {
        for (int x = part.from.left(); x <= part.from.right(); ++x) {
            const QPoint to(x + part.offset.x(), y + part.offset.y());
            if (passes(test, unmultiply(input.raw(x, y)) & mask, limit)) {
                raw(to.x(), to.y()) = color;
                ++passed;
            } else if (copySource && input.rect().contains(to)) {
                // Flash takes the source pixel at the destination's own position.
                raw(to.x(), to.y()) = unmultiply(input.raw(to.x(), to.y()));
            }
        }
    }
    ++m_version;
    return passed;
}

void BitmapPixels::copyChannel(const BitmapPixels& source, const QRect& area, const QPoint& destination, int sourceChannel,
                               int destinationChannel)
{
    const Transfer part = transfer(source, area, destination);
    if (part.from.isEmpty())
        return;
    const QImage input = source.m_image;
    const int from = shiftOfChannel(sourceChannel);
    const int to = shiftOfChannel(destinationChannel);
    for (int y = part.from.top(); y <= part.from.bottom(); ++y) {
        for (int x = part.from.left(); x <= part.from.right(); ++x) {
            uint32_t& target = raw(x + part.offset.x(), y + part.offset.y());
            if (to < 0)
                continue;
            const uint32_t value = from < 0 ? 0 : channelOf(unmultiply(reinterpret_cast<const uint32_t*>(input.constScanLine(y))[x]), from);
            const uint32_t color = (unmultiply(target) & ~(0xFFu << to)) | (value << to);
            target = stored(color);
        }
    }
    ++m_version;
}

void BitmapPixels::paletteMap(const BitmapPixels& source, const QRect& area, const QPoint& destination,
                              const std::array<std::array<uint32_t, 256>, 4>& tables)
{
    const Transfer part = transfer(source, area, destination);
    if (part.from.isEmpty())
        return;
    const QImage input = source.m_image;
    const int shifts[4] = {24, 16, 8, 0};
    for (int y = part.from.top(); y <= part.from.bottom(); ++y) {
        for (int x = part.from.left(); x <= part.from.right(); ++x) {
            const uint32_t from = unmultiply(reinterpret_cast<const uint32_t*>(input.constScanLine(y))[x]);
            uint32_t sum = 0;
            for (size_t index = 0; index < 4; ++index)
                sum += tables[index][channelOf(from, shifts[index])];
            raw(x + part.offset.x(), y + part.offset.y()) = stored(sum);
        }
    }
    ++m_version;
}

int32_t BitmapPixels::pixelDissolve(const BitmapPixels& source, const QRect& area, const QPoint& destination, int32_t seed,
                                    int count, uint32_t fillColor)
{
    const Transfer part = transfer(source, area, destination);
    const int64_t total = int64_t(part.from.width()) * part.from.height();
    if (part.from.isEmpty())
        return seed;
    const bool fill = &source == this;
    const QImage input = source.m_image;
    const uint32_t value = stored(fillColor);
    auto dissolve = [&](int64_t at) {
        const int x = part.from.left() + int(at % part.from.width());
        const int y = part.from.top() + int(at / part.from.width());
        raw(x + part.offset.x(), y + part.offset.y()) = fill ? value : reinterpret_cast<const uint32_t*>(input.constScanLine(y))[x];
    };
    // Flash overwrites the area's first pixel on every call, even when asked for none, and then
    // as many others as asked, never that first one again.
    dissolve(0);
    ++m_version;
    if (count <= 0)
        return seed;
    // The other pixels are visited as index, index + step, ... modulo their number, step being
    // a prime that does not divide it: every pixel once before any comes back, and the next call
    // carries on where this one stopped.
    int64_t step = 7919;
    while (total % step == 0)
        step += 2;
    int64_t position = static_cast<uint32_t>(seed) % uint32_t(total);
    const int64_t others = std::min<int64_t>(count, total - 1);
    for (int64_t written = 0; written < others;) {
        const int64_t at = position;
        position = (position + step) % total;
        if (at == 0)
            continue;
        dissolve(at);
        ++written;
    }
    return static_cast<int32_t>(position);
}

bool BitmapPixels::hitsPoint(int threshold, const QPoint& point) const
{
    return m_image.rect().contains(point) && int(channelOf(raw(point.x(), point.y()), 24)) >= threshold;
}

bool BitmapPixels::hitsArea(int threshold, const QRect& area) const
{
    const QRect inside = clipped(area);
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (int(channelOf(raw(x, y), 24)) >= threshold)
                return true;
        }
    }
    return false;
}

bool BitmapPixels::hitsBitmap(int threshold, const QPoint& position, const BitmapPixels& other, int otherThreshold,
                              const QPoint& otherPosition) const
{
    // The overlap in this bitmap's own coordinates.
    const QPoint shift = otherPosition - position;
    const QRect overlap = m_image.rect().intersected(other.rect().translated(shift));
    for (int y = overlap.top(); y <= overlap.bottom(); ++y) {
        for (int x = overlap.left(); x <= overlap.right(); ++x) {
            if (int(channelOf(raw(x, y), 24)) >= threshold
                && int(channelOf(other.raw(x - shift.x(), y - shift.y()), 24)) >= otherThreshold)
                return true;
        }
    }
    return false;
}

QRect BitmapPixels::colorBoundsRect(uint32_t mask, uint32_t color, bool findColor) const
{
    int left = width(), top = height(), right = 0, bottom = 0;
    for (int y = 0; y < height(); ++y) {
        for (int x = 0; x < width(); ++x) {
            if (((raw(x, y) & mask) == color) != findColor)
                continue;
            left = std::min(left, x);
            top = std::min(top, y);
            right = std::max(right, x);
            bottom = std::max(bottom, y);
        }
    }
    if (right == 0 && bottom == 0)
        return QRect(0, 0, 0, 0);
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace player::display
