#pragma once

#include <QImage>
#include <cstdint>
#include <memory>

namespace imaging {

// One picture as a 24-bit bitmap whose pixels the program addresses directly, in the layout
// that Windows bitmap files and the JPEG encoder share: rows run from the bottom of the picture
// to the top, each row holds width() pixels of three bytes in the order blue, green, red and is
// padded with zero bytes to bytesPerLine(), a multiple of 4. Pixel (x, y), y counted from the
// top, starts at byte (height() - 1 - y) * bytesPerLine() + 3 * x of bits().
//
// The object owns its pixel memory until clear(), a new create() or its destruction.
class BottomUpBitmap {
public:
    BottomUpBitmap() = default;
    BottomUpBitmap(const BottomUpBitmap&) = delete;
    BottomUpBitmap& operator=(const BottomUpBitmap&) = delete;
    ~BottomUpBitmap() = default;

    // Discards any held picture and makes a black one of the given size. False, with nothing
    // held, for a size that is not positive or whose memory cannot be had.
    bool create(int32_t width, int32_t height);

    // Makes the held picture a copy of the image at the image's own size, without scaling;
    // transparency is dropped. Nothing is held afterwards when the image is null or too large.
    void assign(const QImage& image);

    // Copies the rectangle of the source that starts at (left, top) into the held picture at
    // (0, 0); a negative width or height stands for the held picture's own. Parts of the
    // rectangle outside the source or the held picture are left out.
    void copyFrom(const QImage& source, int32_t left, int32_t top, int32_t width = -1, int32_t height = -1);

    // The size given to the last create(); kept by clear().
    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }
    int32_t bytesPerLine() const { return bytesPerLine(m_width); }

    // The pixel memory, or nullptr when no picture is held.
    uint8_t* bits() { return m_bits.get(); }
    const uint8_t* bits() const { return m_bits.get(); }
    bool isHeld() const { return m_bits != nullptr; }

    // Releases the held picture.
    void clear();

    // An upright copy of the held picture (Format_BGR888), or a null image when none is held.
    QImage toImage() const;

    // 3 * width rounded up to a multiple of 4.
    static int32_t bytesPerLine(int32_t width) { return (width * 3 + 3) & ~3; }

private:
    uint8_t* rowFromTop(int32_t y) { return m_bits.get() + size_t(m_height - 1 - y) * size_t(bytesPerLine()); }
    const uint8_t* rowFromTop(int32_t y) const
    {
        return m_bits.get() + size_t(m_height - 1 - y) * size_t(bytesPerLine());
    }

    std::unique_ptr<uint8_t[]> m_bits;
    int32_t m_width = 0;
    int32_t m_height = 0;
};

} // namespace imaging
