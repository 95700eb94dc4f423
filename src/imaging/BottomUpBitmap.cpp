#include "imaging/BottomUpBitmap.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace imaging {

namespace {

// Larger pictures are refused rather than risk an overflow in the row arithmetic of the
// callers, which use 32-bit sizes as the original bitmap header did.
constexpr int64_t largestImageBytes = std::numeric_limits<int32_t>::max();

} // namespace

bool BottomUpBitmap::create(int32_t width, int32_t height)
{
    clear();
    if (width <= 0 || height <= 0)
        return false;
    const int64_t rowBytes = (int64_t(width) * 3 + 3) & ~int64_t(3);
    if (rowBytes * height > largestImageBytes)
        return false;
    m_width = width;
    m_height = height;
    m_bits.reset(new (std::nothrow) uint8_t[size_t(rowBytes * height)]());
    return m_bits != nullptr;
}

void BottomUpBitmap::assign(const QImage& image)
{
    if (image.isNull()) {
        clear();
        return;
    }
    if (!create(image.width(), image.height()))
        return;
    copyFrom(image, 0, 0);
}

void BottomUpBitmap::copyFrom(const QImage& source, int32_t sourceLeft, int32_t sourceTop, int32_t sourceWidth,
                              int32_t sourceHeight)
{
    if (!isHeld() || source.isNull())
        return;
    const int32_t copyWidthAsked = sourceWidth < 0 ? m_width : sourceWidth;
    const int32_t copyHeightAsked = sourceHeight < 0 ? m_height : sourceHeight;

    // Clip the rectangle to the source; what falls off its left or top edge also moves the
    // place where the rest lands.
    const int64_t left = std::max<int64_t>(sourceLeft, 0);
    const int64_t top = std::max<int64_t>(sourceTop, 0);
    const int64_t right = std::min<int64_t>(int64_t(sourceLeft) + copyWidthAsked, source.width());
    const int64_t bottom = std::min<int64_t>(int64_t(sourceTop) + copyHeightAsked, source.height());
    const int64_t targetLeft = left - sourceLeft;
    const int64_t targetTop = top - sourceTop;
    const int64_t copyWidth = std::min<int64_t>(right - left, m_width - targetLeft);
    const int64_t copyHeight = std::min<int64_t>(bottom - top, m_height - targetTop);
    if (copyWidth <= 0 || copyHeight <= 0)
        return;

    // QImage's BGR888 rows have the same byte order and padding as ours, only top-down.
    const QImage part = source.copy(int(left), int(top), int(copyWidth), int(copyHeight))
                            .convertToFormat(QImage::Format_BGR888);
    if (part.isNull())
        return;
    for (int64_t row = 0; row < copyHeight; ++row) {
        std::memcpy(rowFromTop(int32_t(targetTop + row)) + targetLeft * 3, part.constScanLine(int(row)),
                    size_t(copyWidth) * 3);
    }
}

void BottomUpBitmap::clear()
{
    m_bits.reset();
}

QImage BottomUpBitmap::toImage() const
{
    if (!isHeld())
        return {};
    QImage image(m_width, m_height, QImage::Format_BGR888);
    if (image.isNull())
        return {};
    for (int32_t y = 0; y < m_height; ++y)
        std::memcpy(image.scanLine(y), rowFromTop(y), size_t(m_width) * 3);
    return image;
}

} // namespace imaging
