#pragma once

#include <QImage>
#include <QRect>
#include <cstdint>

namespace player::display {

// The pixels of a script-made bitmap (BitmapData): shared by the script object and the display
// objects that show it. Flash keeps them with premultiplied alpha, so a colour read back after
// setPixel32 may differ in its low bits when it is not opaque; the same rounding is kept here.
// Colours given and returned are 0xAARRGGBB, not premultiplied.
class BitmapPixels {
public:
    // Flash's limits on a new bitmap: up to SWF 9 each side is at most 2880 pixels; from SWF 10
    // each side is at most 8191 and the whole at most 16,777,215 pixels.
    static bool isAllowedSize(int width, int height, int swfVersion);

    BitmapPixels(int width, int height, bool transparent, uint32_t fillColor);

    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    bool isTransparent() const { return m_transparent; }
    QRect rect() const { return m_image.rect(); }
    // Premultiplied ARGB32 pixels, ready to draw.
    const QImage& image() const { return m_image; }
    // Grows by one with every change, so that whoever caches a copy knows when it is stale.
    uint64_t version() const { return m_version; }

    // Pixels outside give 0.
    uint32_t pixel32(int x, int y) const;
    // The colour without alpha.
    uint32_t pixel(int x, int y) const { return pixel32(x, y) & 0xFFFFFF; }
    // Pixels outside are left alone.
    void setPixel32(int x, int y, uint32_t color);
    // setPixel keeps the alpha the pixel had.
    void setPixel(int x, int y, uint32_t color);
    void fillRect(const QRect& area, uint32_t color);
    // Copies area of source to destination (its top left corner); with mergeAlpha, or into an
    // opaque bitmap, the source is laid over what is there, otherwise it replaces it. A
    // transparent alpha bitmap, from alphaPoint on, scales the source's alpha, and where it has
    // no pixels nothing is copied; an opaque one changes nothing.
    void copyPixels(const BitmapPixels& source, const QRect& area, const QPoint& destination, bool mergeAlpha,
                    const BitmapPixels* alphaBitmap = nullptr, const QPoint& alphaPoint = QPoint());
    // Each channel becomes channel * multiplier + offset, clamped, on the unmultiplied colour.
    struct ColorTransform {
        double redMultiplier = 1, greenMultiplier = 1, blueMultiplier = 1, alphaMultiplier = 1;
        double redOffset = 0, greenOffset = 0, blueOffset = 0, alphaOffset = 0;
    };
    void colorTransform(const QRect& area, const ColorTransform& transform);
    // Fills the area of the same colour around a pixel, its four neighbours at a time. False
    // when nothing changed: the pixel lies outside or has the colour already.
    bool floodFill(int x, int y, uint32_t color);
    // Replaces all pixels, for draw(): the image is converted and, for an opaque bitmap, made opaque.
    void replaceImage(const QImage& image);

    static uint32_t premultiply(uint32_t color);
    static uint32_t unmultiply(uint32_t premultiplied);

private:
    uint32_t stored(uint32_t color) const;
    QRect clipped(const QRect& area) const { return area.intersected(m_image.rect()); }

    QImage m_image;
    bool m_transparent = true;
    uint64_t m_version = 0;
};

} // namespace player::display
