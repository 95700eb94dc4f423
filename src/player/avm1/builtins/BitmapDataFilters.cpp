#include "BitmapDataObject.h"
#include "Builtins.h"
#include "Declaration.h"
#include "FilterClasses.h"
#include "FilterObject.h"

#include "player/avm1/Machine.h"
#include "player/display/BitmapPixels.h"
#include "player/render/FilterChain.h"

#include <QPainter>

namespace player::avm1::builtins {

namespace {

std::optional<QRect> wholePixelRectangle(Machine& machine, const Value& value)
{
    Object* object = value.asObject();
    if (!object)
        return std::nullopt;
    auto part = [&](const char* name) { return machine.toInt32(object->get(machine, QString::fromLatin1(name))); };
    const int width = part("width");
    const int height = part("height");
    if (width <= 0 || height <= 0)
        return QRect();
    return QRect(part("x"), part("y"), width, height);
}

// Disposed bitmaps answer -1 to every method, as Flash's do; other objects get nothing.
std::optional<Value> refusal(Object* self)
{
    auto* bitmap = dynamic_cast<BitmapDataObject*>(self);
    if (!bitmap)
        return Value();
    if (!bitmap->pixels())
        return Value(-1.0);
    return std::nullopt;
}

// applyFilter(source, sourceRect, destPoint, filter): the source's area, filtered as a clip's
// layer is, written at the point. What the filter spreads beyond the area is not kept.
Value applyFilter(Machine& machine, Object* self, const Arguments& arguments)
{
    if (std::optional<Value> refused = refusal(self))
        return *refused;
    display::BitmapPixels& target = *static_cast<BitmapDataObject*>(self)->pixels();
    display::BitmapPixels* source = BitmapDataObject::pixelsOf(argument(arguments, 0));
    const std::optional<QRect> area = wholePixelRectangle(machine, argument(arguments, 1));
    Object* point = argument(arguments, 2).asObject();
    auto* filter = dynamic_cast<FilterObject*>(argument(arguments, 3).asObject());
    if (!source || !area || !point || !filter)
        return Value();
    const std::optional<swf::Filter> settings = filter->toFilter();
    if (!settings || area->isEmpty())
        return Value(0.0);
    const QPoint destination(machine.toInt32(point->get(machine, QStringLiteral("x"))),
                             machine.toInt32(point->get(machine, QStringLiteral("y"))));

    // The layer holds the area with room for what the filter carries in from around it.
    const std::vector<swf::Filter> chain {*settings};
    const int reach = render::FilterChain::reach(chain, 1.0);
    const QRect layerArea = area->adjusted(-reach, -reach, reach, reach);
    QImage layer(layerArea.size(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter painter(&layer);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QPoint(0, 0), source->image(), layerArea);
    }
    render::FilterChain::apply(layer, chain, 1.0);

    QImage result = target.image().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&result);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(destination, layer, QRect(QPoint(reach, reach), area->size()));
    }
    target.replaceImage(result);
    return Value(0.0);
}

} // namespace

void installBitmapDataFilters(Machine& machine)
{
    Object* flash = machine.global()->get(machine, QStringLiteral("flash")).asObject();
    Object* displayPackage = flash ? flash->get(machine, QStringLiteral("display")).asObject() : nullptr;
    Object* constructor = displayPackage ? displayPackage->get(machine, QStringLiteral("BitmapData")).asObject() : nullptr;
    Object* prototype = constructor ? constructor->get(machine, QStringLiteral("prototype")).asObject() : nullptr;
    if (!prototype)
        return;
    static constexpr Declaration declarations[] = {
        method("applyFilter", applyFilter),
    };
    installDeclarations(machine, prototype, declarations);
}

} // namespace player::avm1::builtins
