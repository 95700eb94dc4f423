#include "EditTextPainter.h"

#include "BandRows.h"
#include "ColorTransforms.h"
#include "GlyphColor.h"
#include "ShapePainter.h"

#include "player/display/EditTextInstance.h"

#include <QGlyphRun>
#include <cmath>
#include <optional>

namespace player::render {

namespace {

swf::Rgba rgbaOf(uint32_t color)
{
    return swf::Rgba {uint8_t((color >> 16) & 0xff), uint8_t((color >> 8) & 0xff), uint8_t(color & 0xff), 255};
}

// Glyph units per em: 1024, and DefineFont3 counts twenty times finer.
double emSquare(const swf::Font& font)
{
    return font.version >= 3 ? 1024.0 * 20.0 : 1024.0;
}

// Flash draws a field's box in whole device pixels whenever the field is not rotated or
// sheared: however the field is scaled or placed between pixels, its frame stays a sharp
// one-pixel line. The box's corners round to the nearest pixel, halves downwards. A field of
// device text cannot turn at all: its box is the upright bounds of where it would lie.
std::optional<QRectF> devicePixelBox(const QRectF& box, const QTransform& toDevice, bool deviceText)
{
    const bool upright = toDevice.type() <= QTransform::TxScale && toDevice.m11() > 0 && toDevice.m22() > 0;
    if (!upright && !deviceText)
        return std::nullopt;
    const QRectF device = toDevice.mapRect(box);
    const double left = std::ceil(device.left() - 0.5);
    const double top = std::ceil(device.top() - 0.5);
    return QRectF(left, top, std::ceil(device.right() - 0.5) - left, std::ceil(device.bottom() - 0.5) - top);
}

// Fills the box and traces its frame with a pen of one `pixel` hanging right and down from the
// box's outline, so the frame covers the top and left edges and one pixel past the right and
// bottom ones. The bottom-right corner pixel stays empty in an empty field; once the field shows
// text, Flash's antialiased drawing leaves it partly covered (about 60% in its screenshots).
void paintBox(QPainter& painter, const QRectF& box, double pixel, const QColor& fill, const std::optional<QColor>& frame,
              bool partCoveredCorner)
{
    // Solid rectangles: Qt blends each row's spans on their own.
    const BandRows::QtDrawing clip(painter, painter.worldTransform().mapRect(box.adjusted(-pixel, -pixel, pixel, pixel)),
                                   BandRows::Rows::Independent);
    painter.fillRect(box, fill);
    if (!frame)
        return;
    painter.fillRect(QRectF(box.left(), box.top(), box.width() + pixel, pixel), *frame);
    painter.fillRect(QRectF(box.left(), box.top() + pixel, pixel, box.height()), *frame);
    painter.fillRect(QRectF(box.right(), box.top() + pixel, pixel, box.height() - pixel), *frame);
    painter.fillRect(QRectF(box.left() + pixel, box.bottom(), box.width() - pixel, pixel), *frame);
    if (partCoveredCorner) {
        QColor corner = *frame;
        corner.setAlphaF(corner.alphaF() * 0.6f);
        painter.fillRect(QRectF(box.right(), box.bottom(), pixel, pixel), corner);
    }
}

} // namespace

void EditTextPainter::paint(QPainter& painter, const display::EditTextInstance& field, const QTransform& toDevice,
                            const swf::ColorTransform& color, bool coverage, RenderCache& cache, bool highQuality)
{
    const swf::Rect& box = field.box();
    const QRectF boxRect(box.xMin, box.yMin, box.width(), box.height());
    const display::EditTextInstance::Flags& flags = field.flags();
    painter.setRenderHint(QPainter::Antialiasing, highQuality);
    painter.setWorldTransform(toDevice);
    auto colorOf = [&](uint32_t rgb) { return coverage ? QColor(Qt::black) : applyColorTransform(color, rgbaOf(rgb)); };

    if (flags.background || flags.border) {
        const QColor fill = colorOf(flags.background ? flags.backgroundColor : 0xffffff);
        const std::optional<QColor> frame = flags.border ? std::optional(colorOf(flags.borderColor)) : std::nullopt;
        if (const std::optional<QRectF> pixels = devicePixelBox(boxRect, toDevice, !flags.embedFonts)) {
            painter.save();
            painter.resetTransform();
            painter.setRenderHint(QPainter::Antialiasing, false);
            paintBox(painter, *pixels, 1.0, fill, frame, highQuality && !field.content().isEmpty());
            painter.restore();
        } else {
            // A rotated or sheared field draws the same frame in its own space, a twenty-twips pen.
            paintBox(painter, boxRect, 20.0, fill, frame, false);
        }
    }

    const display::TextLayout& layout = field.layout();
    if (layout.lines.empty())
        return;
    painter.save();
    // A field cuts its text to its box, but as a mask it lets all of its text through, as in
    // Flash.
    if (!coverage)
        painter.setClipRect(boxRect, Qt::IntersectClip);
    const size_t firstLine = size_t(std::clamp(field.scroll(), 1, int(layout.lines.size())) - 1);
    const double scrolled = layout.lines[firstLine].top - display::TextLayout::gutter;
    const double visibleBottom = box.height() / 20.0;
    // Pixels of the layout to twips of the field.
    const QTransform layoutToField = QTransform::fromScale(20.0, 20.0) * QTransform::fromTranslate(box.xMin, box.yMin);
    for (size_t index = firstLine; index < layout.lines.size(); ++index) {
        const display::TextLayout::Line& line = layout.lines[index];
        // Glyphs sit on a baseline cut to a whole twip of the field: an edge a fraction of a twip
        // lower would cover a row of pixels that Flash leaves empty.
        const double baseline = std::floor((line.baseline() - scrolled) * 20.0) / 20.0;
        if (line.top - scrolled > visibleBottom)
            break;
        for (const display::TextLayout::Run& run : line.runs) {
            const uint32_t rgb = run.format.color.value_or(0);
            const QColor runColor = coverage ? QColor(Qt::black) : glyphColor(color, rgb);
            const QBrush brush(runColor);
            const display::TextFont& font = run.font;
            if (const swf::Font* embedded = font.embeddedFont()) {
                const double scale = font.size() / emSquare(*embedded);
                for (qsizetype i = 0; i < run.text.size(); ++i) {
                    const int glyph = font.glyphIndex(run.text[i]);
                    if (glyph < 0)
                        continue;
                    const ConvertedShape& shape = cache.glyph(font.embeddedOwner(), embedded->glyphs[size_t(glyph)]);
                    // Glyph outlines are in units of the em square, so `scale` takes them straight to
                    // layout pixels.
                    const QTransform glyphToDevice = QTransform::fromScale(scale, scale)
                        * QTransform::fromTranslate(line.left + run.positions[size_t(i)], baseline) * layoutToField * toDevice;
                    painter.setWorldTransform(glyphToDevice);
                    if (coverage)
                        ShapePainter::paintCoverage(painter, shape, highQuality);
                    else
                        ShapePainter::paintWithBrush(painter, shape, brush, highQuality);
                }
            } else if (font.deviceFont().isValid()) {
                const QRawFont& raw = font.deviceFont();
                QGlyphRun glyphs;
                glyphs.setRawFont(raw);
                QList<quint32> indexes;
                QList<QPointF> positions;
                for (qsizetype i = 0; i < run.text.size(); ++i) {
                    const QList<quint32> glyph = raw.glyphIndexesForString(QString(run.text[i]));
                    if (glyph.isEmpty())
                        continue;
                    indexes.append(glyph.first());
                    positions.append(QPointF(line.left + run.positions[size_t(i)], baseline));
                }
                painter.setWorldTransform(layoutToField * toDevice);
                if (highQuality) {
                    glyphs.setGlyphIndexes(indexes);
                    glyphs.setPositions(positions);
                    painter.setPen(runColor);
                    const BandRows::QtDrawing clip(painter, painter.worldTransform().mapRect(glyphs.boundingRect()),
                                                   BandRows::Rows::Dependent);
                    painter.drawGlyphRun(QPointF(0, 0), glyphs);
                } else {
                    // Low quality fills device glyphs as outlines without smoothing, like shapes.
                    for (qsizetype i = 0; i < indexes.size(); ++i) {
                        const QPainterPath glyph = raw.pathForGlyph(indexes[i]).translated(positions[i]);
                        const BandRows::QtDrawing clip(painter, painter.worldTransform().mapRect(glyph.controlPointRect()),
                                                       BandRows::Rows::Independent);
                        painter.fillPath(glyph, brush);
                    }
                }
            }
            if (run.format.underline.value_or(false)) {
                painter.setWorldTransform(layoutToField * toDevice);
                const double left = line.left + (run.positions.empty() ? 0.0 : run.positions.front());
                const QRectF underline(left, baseline + 1.0, run.width, 1.0);
                const BandRows::QtDrawing clip(painter, painter.worldTransform().mapRect(underline),
                                               BandRows::Rows::Independent);
                painter.fillRect(underline, brush);
            }
        }
    }
    painter.restore();
}

} // namespace player::render
