#include "Drawing.h"

#include "BitmapPixels.h"

#include <algorithm>

namespace player::display {

bool Drawing::isEmpty() const
{
    return m_shape.records.empty();
}

void Drawing::clear()
{
    *this = Drawing();
}

uint16_t Drawing::addBitmap(std::shared_ptr<const BitmapPixels> pixels)
{
    constexpr size_t mostBitmaps = 1024;
    if (!pixels || m_bitmaps.size() >= mostBitmaps)
        return 0xFFFF;
    m_bitmaps.push_back(std::move(pixels));
    return static_cast<uint16_t>(0xFFFF - m_bitmaps.size());
}

const BitmapPixels* Drawing::bitmap(uint16_t id) const
{
    const size_t index = size_t(0xFFFF - id);
    if (id == 0xFFFF || index > m_bitmaps.size())
        return nullptr;
    return m_bitmaps[index - 1].get();
}

void Drawing::startRecordIfNeeded()
{
    m_cached.reset();
}

void Drawing::includePoint(int32_t x, int32_t y, int32_t margin)
{
    swf::Rect& bounds = m_shape.bounds;
    if (!m_hasBounds) {
        bounds = {x - margin, x + margin, y - margin, y + margin};
        m_hasBounds = true;
        return;
    }
    bounds.xMin = std::min(bounds.xMin, x - margin);
    bounds.xMax = std::max(bounds.xMax, x + margin);
    bounds.yMin = std::min(bounds.yMin, y - margin);
    bounds.yMax = std::max(bounds.yMax, y + margin);
}

void Drawing::lineStyle(std::optional<swf::LineStyle> style)
{
    startRecordIfNeeded();
    swf::StyleChangeRecord change;
    change.hasLine = true;
    if (style) {
        m_shape.lineStyles.push_back(*style);
        m_currentLine = static_cast<uint32_t>(m_shape.lineStyles.size());
    } else {
        m_currentLine = 0;
    }
    change.line = m_currentLine;
    // Flash starts a new path at the pen so the new style applies from here on.
    change.hasMove = true;
    change.moveX = m_penX;
    change.moveY = m_penY;
    m_shape.records.emplace_back(change);
}

std::optional<swf::LineStyle> Drawing::currentLineStyle() const
{
    if (m_currentLine == 0 || m_currentLine > m_shape.lineStyles.size())
        return std::nullopt;
    return m_shape.lineStyles[m_currentLine - 1];
}

void Drawing::beginFill(const swf::FillStyle& fill)
{
    closeOpenFill();
    startRecordIfNeeded();
    m_shape.fillStyles.push_back(fill);
    m_currentFill = static_cast<uint32_t>(m_shape.fillStyles.size());
    swf::StyleChangeRecord change;
    change.hasFill1 = true;
    change.fill1 = m_currentFill;
    change.hasFill0 = true;
    change.fill0 = 0;
    change.hasMove = true;
    change.moveX = m_penX;
    change.moveY = m_penY;
    m_shape.records.emplace_back(change);
    m_fillOpen = true;
    m_fillStartX = m_penX;
    m_fillStartY = m_penY;
}

void Drawing::endFill()
{
    closeOpenFill();
    if (m_currentFill == 0)
        return;
    m_currentFill = 0;
    swf::StyleChangeRecord change;
    change.hasFill1 = true;
    change.fill1 = 0;
    m_shape.records.emplace_back(change);
}

void Drawing::closeOpenFill()
{
    if (!m_fillOpen)
        return;
    m_fillOpen = false;
    // An open fill is closed by a straight edge back to where it started, as Flash does.
    if (m_penX != m_fillStartX || m_penY != m_fillStartY)
        lineTo(m_fillStartX, m_fillStartY);
}

void Drawing::moveTo(int32_t x, int32_t y)
{
    startRecordIfNeeded();
    if (m_fillOpen && (m_penX != m_fillStartX || m_penY != m_fillStartY))
        lineTo(m_fillStartX, m_fillStartY);
    swf::StyleChangeRecord change;
    change.hasMove = true;
    change.moveX = x;
    change.moveY = y;
    m_shape.records.emplace_back(change);
    m_penX = m_fillStartX = x;
    m_penY = m_fillStartY = y;
}

void Drawing::lineTo(int32_t x, int32_t y)
{
    startRecordIfNeeded();
    const int32_t margin = m_currentLine ? m_shape.lineStyles[m_currentLine - 1].width / 2 : 0;
    includePoint(m_penX, m_penY, margin);
    includePoint(x, y, margin);
    m_shape.records.emplace_back(swf::StraightEdgeRecord{x, y});
    m_penX = x;
    m_penY = y;
}

void Drawing::curveTo(int32_t controlX, int32_t controlY, int32_t anchorX, int32_t anchorY)
{
    startRecordIfNeeded();
    const int32_t margin = m_currentLine ? m_shape.lineStyles[m_currentLine - 1].width / 2 : 0;
    includePoint(m_penX, m_penY, margin);
    includePoint(controlX, controlY, margin);
    includePoint(anchorX, anchorY, margin);
    m_shape.records.emplace_back(swf::CurvedEdgeRecord{controlX, controlY, anchorX, anchorY});
    m_penX = anchorX;
    m_penY = anchorY;
}

std::shared_ptr<const swf::Shape> Drawing::shape() const
{
    if (!m_cached) {
        auto shape = std::make_shared<swf::Shape>(m_shape);
        shape->version = 4;
        shape->edgeBounds = shape->bounds;
        // An open fill shows closed while the script is still drawing.
        if (m_fillOpen && (m_penX != m_fillStartX || m_penY != m_fillStartY))
            shape->records.emplace_back(swf::StraightEdgeRecord{m_fillStartX, m_fillStartY});
        m_cached = std::move(shape);
    }
    return m_cached;
}

swf::Rect Drawing::bounds() const
{
    return m_hasBounds ? m_shape.bounds : swf::Rect{};
}

} // namespace player::display
