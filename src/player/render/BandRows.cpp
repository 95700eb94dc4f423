#include "BandRows.h"

#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace player::render {

namespace {

struct KeptRows {
    const QPaintDevice* device;
    BandRows::Keep keep;
};

// Scopes nest (a layer inside the band, a mask's layer inside that), so the latest comes last.
thread_local std::vector<KeptRows> keptRows;
thread_local bool crossed = false;

} // namespace

BandRows::Scope::Scope(const QPaintDevice* device, int top, int bottom)
{
    keptRows.push_back(KeptRows{device, Keep{true, top, bottom, QRect()}});
}

BandRows::Scope::Scope(const QPaintDevice* device, const Keep& keep)
{
    keptRows.push_back(KeptRows{device, keep});
}

namespace {

const BandRows::Keep* keepOf(const QPaintDevice* device)
{
    for (auto entry = keptRows.rbegin(); entry != keptRows.rend(); ++entry) {
        if (entry->device == device)
            return &entry->keep;
    }
    return nullptr;
}

} // namespace

BandRows::Scope::~Scope()
{
    keptRows.pop_back();
}

bool BandRows::rowsOf(const QPaintDevice* device, int& top, int& bottom)
{
    const Keep* keep = keepOf(device);
    if (!keep || !keep->banded)
        return false;
    top = keep->top;
    bottom = keep->bottom;
    return true;
}

QRect BandRows::kept(const QPaintDevice* device, const QRect& area)
{
    const Keep* keep = keepOf(device);
    if (!keep)
        return area;
    QRect result = area;
    if (keep->banded)
        result &= QRect(area.left(), keep->top, area.width(), keep->bottom - keep->top);
    if (!keep->needed.isNull())
        result &= keep->needed;
    return result;
}

bool BandRows::layerRows(const QPaintDevice* device, const QRect& layerRect, int& top, int& bottom)
{
    int keepTop = layerRect.top();
    int keepBottom = layerRect.bottom() + 1;
    const bool banded = rowsOf(device, keepTop, keepBottom);
    top = std::max(layerRect.top(), keepTop) - layerRect.top();
    bottom = std::min(layerRect.bottom() + 1, keepBottom) - layerRect.top();
    return banded;
}

BandRows::QtDrawing::QtDrawing(QPainter& painter, const QRectF& reach, Rows rows)
{
    if (keptRows.empty())
        return;
    const QPaintDevice* device = painter.device();
    int top = 0;
    int bottom = 0;
    if (!device || !rowsOf(device, top, bottom))
        return;
    if (rows == Rows::Dependent) {
        // Antialiased edges and Qt's thin lines reach a pixel or so past the item's bounds.
        const bool bounded = std::isfinite(reach.top()) && std::isfinite(reach.bottom());
        const double reachTop = reach.top() - 2.0;
        const double reachBottom = reach.bottom() + 2.0;
        const bool touchesBand = !bounded || (reachBottom > top && reachTop < bottom);
        const bool withinBand = bounded && reachTop >= top && reachBottom <= bottom;
        const bool allRows = top <= 0 && bottom >= device->height();
        if (touchesBand && !withinBand && !allRows)
            crossed = true;
    }
    m_painter = &painter;
    painter.save();
    const QTransform transform = painter.worldTransform();
    painter.resetTransform();
    painter.setClipRect(QRect(0, top, device->width(), bottom - top),
                        painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    painter.setWorldTransform(transform);
}

BandRows::QtDrawing::~QtDrawing()
{
    if (m_painter)
        m_painter->restore();
}

bool BandRows::takeCrossed()
{
    const bool was = crossed;
    crossed = false;
    return was;
}

} // namespace player::render
