#pragma once

#include <QImage>
#include <cstdint>
#include <memory>

// One picture as a 24-bit device-independent bitmap whose pixels the program addresses
// directly: rows run from the bottom of the picture to the top, each row holds Width() pixels
// of three bytes in the order blue, green, red and is padded with zero bytes to
// BytesPerScanLine(), a multiple of 4. Pixel (x, y), y counted from the top, starts at byte
// (Height() - 1 - y) * BytesPerScanLine() + 3 * x of DIBSectionBitsPtr().
//
// The object owns its pixel memory until ClearUp(), a new Create() or its destruction.
class cDIBSection {
public:
    cDIBSection() = default;
    cDIBSection(const cDIBSection&) = delete;
    cDIBSection& operator=(const cDIBSection&) = delete;
    ~cDIBSection() = default;

    // Discards any held picture and makes a black one of the given size. False, with nothing
    // held, for a size that is not positive or whose memory cannot be had.
    bool Create(int32_t lWidth, int32_t lHeight);

    // Makes the held picture a copy of the image at the image's own size, without scaling;
    // transparency is dropped. Nothing is held afterwards when the image is null or too large.
    void CreateFromPicture(const QImage& picThis);

    // Copies the rectangle of the source that starts at (lSrcLeft, lSrcTop) into the held
    // picture at (0, 0); a negative width or height stands for the held picture's own. Parts of
    // the rectangle outside the source or the held picture are left out.
    void LoadPictureBlt(const QImage& source, int32_t lSrcLeft, int32_t lSrcTop, int32_t lSrcWidth = -1,
                        int32_t lSrcHeight = -1);

    // The size given to the last Create; kept by ClearUp.
    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    int32_t BytesPerScanLine() const { return bytesPerScanLine(m_width); }

    // The pixel memory, or nullptr when no picture is held.
    uint8_t* DIBSectionBitsPtr() { return m_bits.get(); }
    const uint8_t* DIBSectionBitsPtr() const { return m_bits.get(); }
    bool isHeld() const { return m_bits != nullptr; }

    // Releases the held picture.
    void ClearUp();

    // An upright copy of the held picture (Format_BGR888), or a null image when none is held.
    QImage toImage() const;

    // 3 * width rounded up to a multiple of 4.
    static int32_t bytesPerScanLine(int32_t width) { return (width * 3 + 3) & ~3; }

private:
    uint8_t* rowFromTop(int32_t y) { return m_bits.get() + size_t(m_height - 1 - y) * size_t(BytesPerScanLine()); }
    const uint8_t* rowFromTop(int32_t y) const
    {
        return m_bits.get() + size_t(m_height - 1 - y) * size_t(BytesPerScanLine());
    }

    std::unique_ptr<uint8_t[]> m_bits;
    int32_t m_width = 0;
    int32_t m_height = 0;
};
