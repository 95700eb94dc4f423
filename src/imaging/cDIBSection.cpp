#include "imaging/cDIBSection.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace {

// Larger pictures are refused rather than risk an overflow in the row arithmetic of the
// callers, which use 32-bit sizes as the original bitmap header did.
constexpr int64_t largestImageBytes = std::numeric_limits<int32_t>::max();

} // namespace

bool cDIBSection::Create(int32_t lWidth, int32_t lHeight)
{
    ClearUp();
    if (lWidth <= 0 || lHeight <= 0)
        return false;
    const int64_t rowBytes = (int64_t(lWidth) * 3 + 3) & ~int64_t(3);
    if (rowBytes * lHeight > largestImageBytes)
        return false;
    m_width = lWidth;
    m_height = lHeight;
    m_bits.reset(new (std::nothrow) uint8_t[size_t(rowBytes * lHeight)]());
    return m_bits != nullptr;
}

void cDIBSection::CreateFromPicture(const QImage& picThis)
{
    if (picThis.isNull()) {
        ClearUp();
        return;
    }
    if (!Create(picThis.width(), picThis.height()))
        return;
    LoadPictureBlt(picThis, 0, 0);
}

void cDIBSection::LoadPictureBlt(const QImage& source, int32_t lSrcLeft, int32_t lSrcTop, int32_t lSrcWidth,
                                 int32_t lSrcHeight)
{
    if (!isHeld() || source.isNull())
        return;
    const int32_t width = lSrcWidth < 0 ? m_width : lSrcWidth;
    const int32_t height = lSrcHeight < 0 ? m_height : lSrcHeight;

    // Clip the rectangle to the source; what falls off its left or top edge also moves the
    // place where the rest lands.
    const int64_t left = std::max<int64_t>(lSrcLeft, 0);
    const int64_t top = std::max<int64_t>(lSrcTop, 0);
    const int64_t right = std::min<int64_t>(int64_t(lSrcLeft) + width, source.width());
    const int64_t bottom = std::min<int64_t>(int64_t(lSrcTop) + height, source.height());
    const int64_t targetLeft = left - lSrcLeft;
    const int64_t targetTop = top - lSrcTop;
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

void cDIBSection::ClearUp()
{
    m_bits.reset();
}

QImage cDIBSection::toImage() const
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
