#pragma once

#include "player/swf/Shape.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace player::display {

class BitmapPixels;

// What a clip's drawing API calls (moveTo, lineTo, beginFill...) recorded as a shape, drawn
// under the clip's children. Coordinates in twips. The shape is rebuilt into a new object after
// every change, so a renderer may cache by the shape pointer it got from shape().
class Drawing {
public:
    bool isEmpty() const;
    void clear();

    // width in twips; nothing = no line.
    void lineStyle(std::optional<swf::LineStyle> style);
    // The line that edges drawn now get, if any.
    std::optional<swf::LineStyle> currentLineStyle() const;
    void beginFill(const swf::FillStyle& fill);
    void endFill();
    void moveTo(int32_t x, int32_t y);
    void lineTo(int32_t x, int32_t y);
    void curveTo(int32_t controlX, int32_t controlY, int32_t anchorX, int32_t anchorY);

    // A script-made bitmap for beginBitmapFill: the id its fills name, from the top of the id
    // range down so that it stays clear of the movie's own bitmaps; 0xFFFF (no bitmap) once a
    // drawing holds too many. The fill shows the bitmap's pixels as they are when drawn.
    uint16_t addBitmap(std::shared_ptr<const BitmapPixels> pixels);
    // The bitmap behind an id addBitmap gave, or null.
    const BitmapPixels* bitmap(uint16_t id) const;
    const std::vector<std::shared_ptr<const BitmapPixels>>& bitmaps() const { return m_bitmaps; }

    // The recorded drawing, with an open fill closed as Flash closes it when drawing.
    std::shared_ptr<const swf::Shape> shape() const;
    swf::Rect bounds() const;

private:
    void closeOpenFill();
    void startRecordIfNeeded();
    void includePoint(int32_t x, int32_t y, int32_t margin);

    swf::Shape m_shape;
    bool m_fillOpen = false;
    int32_t m_fillStartX = 0;
    int32_t m_fillStartY = 0;
    int32_t m_penX = 0;
    int32_t m_penY = 0;
    uint32_t m_currentFill = 0;
    uint32_t m_currentLine = 0;
    bool m_hasBounds = false;
    mutable std::shared_ptr<const swf::Shape> m_cached;
    std::vector<std::shared_ptr<const BitmapPixels>> m_bitmaps;
};

} // namespace player::display
