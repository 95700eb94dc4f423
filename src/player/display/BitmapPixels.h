#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <array>
#include <cstdint>
#include <optional>

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
    // Moves the content by dx, dy; what nothing moves onto keeps its pixels. A shift as large as
    // the bitmap changes nothing.
    void scroll(int dx, int dy);
    // compare(): null when both hold the same colours (the sizes must match). Otherwise each
    // pixel of the result is 0 where they agree, 0xFF and the wrapped differences of red, green
    // and blue where the colours differ, and white with the wrapped difference of alpha where
    // only the alpha differs.
    std::optional<BitmapPixels> difference(const BitmapPixels& other) const;
    // Mixes each channel of the source's area into this bitmap at destination, by a multiplier
    // out of 256 per channel (red, green, blue, alpha), clamped to 0–256.
    void merge(const BitmapPixels& source, const QRect& area, const QPoint& destination, const std::array<int, 4>& multipliers);
    // Sets to color each pixel whose source pixel, masked, passes the test against the masked
    // threshold; the others take the source's colour when copySource is set. The colour is
    // written as it is given, without premultiplying. Answers how many pixels passed.
    enum class ThresholdTest { Less, LessOrEqual, Greater, GreaterOrEqual, Equal, NotEqual };
    int threshold(const BitmapPixels& source, const QRect& area, const QPoint& destination, ThresholdTest test,
                  uint32_t threshold, uint32_t color, uint32_t mask, bool copySource);
    // Channels are numbered 1 red, 2 green, 4 blue, 8 alpha. Another source channel gives 0 and
    // another destination channel changes nothing.
    void copyChannel(const BitmapPixels& source, const QRect& area, const QPoint& destination, int sourceChannel,
                     int destinationChannel);
    // Each channel of a source pixel picks an entry of its table (alpha, red, green, blue order
    // as in the colour); the four entries are added up into the new colour.
    void paletteMap(const BitmapPixels& source, const QRect& area, const QPoint& destination,
                    const std::array<std::array<uint32_t, 256>, 4>& tables);
    // Replaces count pixels of the area (all of them when count is larger), in an order the
    // seed fixes, by the source's pixels, or by fillColor when the source is this bitmap.
    // Answers the seed that continues the order.
    int32_t pixelDissolve(const BitmapPixels& source, const QRect& area, const QPoint& destination, int32_t seed, int count,
                          uint32_t fillColor);
    // Hit tests count a pixel whose alpha is at least the threshold.
    bool hitsPoint(int threshold, const QPoint& point) const;
    bool hitsArea(int threshold, const QRect& area) const;
    // This bitmap with its top left corner at position against other at otherPosition.
    bool hitsBitmap(int threshold, const QPoint& position, const BitmapPixels& other, int otherThreshold,
                    const QPoint& otherPosition) const;
    // The smallest rectangle holding the pixels whose stored value, masked, equals color (or,
    // when findColor is false, differs from it). A match of the top left pixel alone counts as
    // none, as in Flash.
    QRect colorBoundsRect(uint32_t mask, uint32_t color, bool findColor) const;
    // Replaces all pixels, for draw(): the image is converted and, for an opaque bitmap, made opaque.
    void replaceImage(const QImage& image);

    static uint32_t premultiply(uint32_t color);
    // A premultiplied pixel copied through an alpha bitmap pixel of alpha `scale`.
    static uint32_t scaledByAlphaBitmap(uint32_t premultiplied, uint32_t scale);
    static uint32_t unmultiply(uint32_t premultiplied);

private:
    // The part of a source's area that lands inside this bitmap when the area's top left corner
    // is put at destination, and how far it moves.
    struct Transfer {
        QRect from;
        QPoint offset;
    };
    Transfer transfer(const BitmapPixels& source, const QRect& area, const QPoint& destination) const;
    uint32_t raw(int x, int y) const { return reinterpret_cast<const uint32_t*>(m_image.constScanLine(y))[x]; }
    uint32_t& raw(int x, int y) { return reinterpret_cast<uint32_t*>(m_image.scanLine(y))[x]; }

    uint32_t stored(uint32_t color) const;
    QRect clipped(const QRect& area) const { return area.intersected(m_image.rect()); }

    QImage m_image;
    bool m_transparent = true;
    uint64_t m_version = 0;
};

} // namespace player::display
