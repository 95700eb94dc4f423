#include "StageBands.h"

#include "player/display/DisplayContainer.h"
#include "player/display/EditTextInstance.h"
#include "player/display/MovieClip.h"
#include "player/display/Stage.h"

#include <algorithm>

namespace player::render {

namespace {

bool prepareObject(const display::DisplayObject& object)
{
    bool bandable = true;
    if (object.kind() == display::DisplayKind::MovieClip) {
        const auto& clip = static_cast<const display::MovieClip&>(object);
        if (!clip.drawing().isEmpty())
            (void)clip.drawing().shape();
    } else if (object.kind() == display::DisplayKind::EditText) {
        const auto& field = static_cast<const display::EditTextInstance&>(object);
        for (const display::TextLayout::Line& line : field.layout().lines) {
            for (const display::TextLayout::Run& run : line.runs) {
                if (!run.font.embeddedFont() && run.font.deviceFont().isValid())
                    bandable = false;
            }
        }
    }
    if (const auto mask = object.scriptMask())
        bandable = prepareObject(*mask) && bandable;
    if (const display::DisplayContainer* container = object.asContainer()) {
        for (const auto& [depth, child] : container->children()) {
            if (child)
                bandable = prepareObject(*child) && bandable;
        }
    }
    return bandable;
}

} // namespace

QRect StageBands::band(const QSize& size, int index, int count)
{
    const int top = int(qint64(size.height()) * index / count);
    const int bottom = int(qint64(size.height()) * (index + 1) / count);
    return QRect(0, top, size.width(), bottom - top);
}

bool StageBands::prepare(const display::Stage& stage)
{
    bool bandable = true;
    for (const auto& [number, root] : stage.levels()) {
        if (root)
            bandable = prepareObject(*root) && bandable;
    }
    return bandable;
}

void StageBands::clearRows(QImage& image, int top, int bottom)
{
    top = std::max(top, 0);
    bottom = std::min(bottom, image.height());
    if (top >= bottom)
        return;
    if (top == 0 && bottom == image.height()) {
        image.fill(Qt::transparent);
        return;
    }
    // The rows as an image of their own over the same pixels, filled the way Qt fills images.
    QImage part(image.scanLine(top), image.width(), bottom - top, image.bytesPerLine(), image.format());
    part.fill(0u);
}

QImage StageBands::rows(const QImage& image, int top, int bottom)
{
    if (top <= 0 && bottom >= image.height())
        return image;
    top = std::max(top, 0);
    bottom = std::min(bottom, image.height());
    return QImage(image.constScanLine(top), image.width(), std::max(0, bottom - top), image.bytesPerLine(),
                  image.format());
}

void StageBands::clearArea(QImage& image, const QRect& area)
{
    const QRect cut = area & image.rect();
    if (cut.isEmpty())
        return;
    if (cut.width() == image.width()) {
        clearRows(image, cut.top(), cut.bottom() + 1);
        return;
    }
    // The area as an image of its own over the same pixels, filled the way Qt fills images.
    QImage part(image.scanLine(cut.top()) + image.depth() / 8 * cut.left(), cut.width(), cut.height(),
                image.bytesPerLine(), image.format());
    part.fill(0u);
}

QImage StageBands::area(const QImage& image, const QRect& area)
{
    const QRect cut = area & image.rect();
    if (cut == image.rect())
        return image;
    if (cut.isEmpty())
        return QImage();
    return QImage(image.constScanLine(cut.top()) + image.depth() / 8 * cut.left(), cut.width(), cut.height(),
                  image.bytesPerLine(), image.format());
}

} // namespace player::render
