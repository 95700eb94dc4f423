#pragma once

#include "RenderCache.h"

#include "player/swf/Movie.h"

#include <QPainter>
#include <QTransform>

namespace player::display {
class EditTextInstance;
} // namespace player::display

namespace player::render {

// Draws a text field: its background and border, then its lines from the first one scrolled
// to, clipped to the box. Embedded fonts draw their glyph outlines, device fonts the system
// font's glyphs at the same pixel size.
class EditTextPainter {
public:
    // `toDevice` maps the field's twips to device pixels. When `coverage` is set (drawing a
    // mask) everything is drawn opaque.
    static void paint(QPainter& painter, const display::EditTextInstance& field, const QTransform& toDevice,
                      const swf::ColorTransform& color, bool coverage, RenderCache& cache, bool highQuality);
};

} // namespace player::render
