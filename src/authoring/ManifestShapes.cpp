#include "ManifestShapes.h"

#include "BuildFailure.h"

#include <QJsonArray>
#include <QJsonObject>

#include <cmath>

namespace authoring {

namespace {

int32_t toTwips(double pixels)
{
    return int32_t(std::lround(pixels * twipsPerPixel));
}

double number(const QJsonValue& value, const QString& where)
{
    if (!value.isDouble() || !std::isfinite(value.toDouble()) || std::abs(value.toDouble()) > 100000)
        throw BuildFailure(where + ": expected a number");
    return value.toDouble();
}

std::vector<GradientStop> parseStops(const QJsonValue& value, const QString& where)
{
    const QJsonArray stops = value.toArray();
    if (stops.size() < 2 || stops.size() > 15)
        throw BuildFailure(where + ": a gradient needs 2 to 15 stops, each [colour, ratio 0..255]");
    std::vector<GradientStop> result;
    for (const QJsonValue& stop : stops) {
        const QJsonArray pair = stop.toArray();
        const double ratio = pair.size() == 2 ? number(pair[1], where) : -1;
        if (ratio < 0 || ratio > 255)
            throw BuildFailure(where + ": a gradient stop is [colour, ratio 0..255]");
        result.push_back({uint8_t(ratio), parseColor(pair[0], where)});
    }
    return result;
}

// The gradient square (-16384..16384 twips) scaled onto the box and turned by the angle.
Matrix gradientTransform(const Rect& box, double angleDegrees)
{
    const double scaleX = (box.xMax - box.xMin) / 32768.0;
    const double scaleY = (box.yMax - box.yMin) / 32768.0;
    const double angle = angleDegrees * M_PI / 180.0;
    Matrix transform;
    transform.a = scaleX * std::cos(angle);
    // Turned first, then stretched over the box, as Flash's gradient boxes are: at 90 degrees
    // the gradient runs along the box's height.
    transform.b = scaleY * std::sin(angle);
    transform.c = -scaleX * std::sin(angle);
    transform.d = scaleY * std::cos(angle);
    transform.tx = (box.xMin + box.xMax) / 2;
    transform.ty = (box.yMin + box.yMax) / 2;
    return transform;
}

FillStyle parseFill(const QJsonValue& value, const Rect& bounds, const QMap<QString, BitmapSymbol>& bitmaps,
                    const QString& where)
{
    FillStyle fill;
    if (value.isString()) {
        fill.color = parseColor(value, where);
        return fill;
    }
    const QJsonObject object = value.toObject();
    const Rect box = object.contains("box") ? parseBox(object["box"], where) : bounds;
    if (object.contains("linear") || object.contains("radial")) {
        const bool linear = object.contains("linear");
        fill.kind = linear ? FillStyle::Kind::LinearGradient
            : object.contains("focal") ? FillStyle::Kind::FocalGradient : FillStyle::Kind::RadialGradient;
        fill.stops = parseStops(object[linear ? "linear" : "radial"], where);
        fill.transform = gradientTransform(box, object["angle"].toDouble(0));
        if (object.contains("focal"))
            fill.focalPoint = number(object["focal"], where);
        return fill;
    }
    if (object.contains("bitmap")) {
        const QString name = object["bitmap"].toString();
        const auto bitmap = bitmaps.find(name);
        if (bitmap == bitmaps.end())
            throw BuildFailure(where + ": no image named '" + name + "'");
        const bool clipped = object["clipped"].toBool(true);
        const bool smoothed = object["smoothed"].toBool(true);
        fill.kind = clipped ? (smoothed ? FillStyle::Kind::ClippedBitmap : FillStyle::Kind::ClippedBitmapUnsmoothed)
                            : (smoothed ? FillStyle::Kind::RepeatingBitmap : FillStyle::Kind::RepeatingBitmapUnsmoothed);
        fill.bitmapId = bitmap->characterId;
        // Bitmap pixels to twips: the image stretched over the box.
        fill.transform.a = double(box.xMax - box.xMin) / std::max(1, bitmap->size.width());
        fill.transform.d = double(box.yMax - box.yMin) / std::max(1, bitmap->size.height());
        fill.transform.tx = box.xMin;
        fill.transform.ty = box.yMin;
        return fill;
    }
    throw BuildFailure(where + ": a fill is a colour or an object with \"linear\", \"radial\" or \"bitmap\"");
}

Path parsePath(const QJsonObject& layer, const QString& where)
{
    Path path;
    if (layer.contains("rect")) {
        path.addRoundedRectangle(parseBox(layer["rect"], where), toTwips(layer["radius"].toDouble(0)));
    } else if (layer.contains("ellipse")) {
        path.addEllipse(parseBox(layer["ellipse"], where));
    } else if (layer.contains("polygon")) {
        const QJsonArray points = layer["polygon"].toArray();
        if (points.size() < 3)
            throw BuildFailure(where + ": a polygon needs at least 3 points");
        for (int i = 0; i <= points.size(); ++i) {
            const QJsonArray point = points[i % points.size()].toArray();
            if (point.size() != 2)
                throw BuildFailure(where + ": a point is [x, y]");
            const int32_t x = toTwips(number(point[0], where));
            const int32_t y = toTwips(number(point[1], where));
            if (i == 0)
                path.moveTo(x, y);
            else
                path.lineTo(x, y);
        }
    } else if (layer.contains("path")) {
        // Commands as arrays: ["M", x, y], ["L", x, y], ["Q", cx, cy, x, y].
        for (const QJsonValue& entry : layer["path"].toArray()) {
            const QJsonArray command = entry.toArray();
            const QString verb = command.isEmpty() ? QString() : command[0].toString();
            auto at = [&](int index) { return toTwips(number(command[index], where)); };
            if (verb == "M" && command.size() == 3)
                path.moveTo(at(1), at(2));
            else if (verb == "L" && command.size() == 3 && !path.isEmpty())
                path.lineTo(at(1), at(2));
            else if (verb == "Q" && command.size() == 5 && !path.isEmpty())
                path.curveTo(at(1), at(2), at(3), at(4));
            else
                throw BuildFailure(where + ": a path starts with [\"M\", x, y], then [\"L\", x, y] or [\"Q\", cx, cy, x, y]");
        }
        if (path.isEmpty())
            throw BuildFailure(where + ": empty path");
    } else {
        throw BuildFailure(where + ": a layer needs \"rect\", \"ellipse\", \"polygon\" or \"path\"");
    }
    return path;
}

Rect commandBounds(const Path& path)
{
    Rect box{INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN};
    for (const PathCommand& command : path.commands()) {
        box.xMin = std::min(box.xMin, command.x);
        box.xMax = std::max(box.xMax, command.x);
        box.yMin = std::min(box.yMin, command.y);
        box.yMax = std::max(box.yMax, command.y);
    }
    return box;
}

} // namespace

Rgba parseColor(const QJsonValue& value, const QString& where)
{
    const QString text = value.toString();
    bool ok = false;
    const uint32_t digits = text.mid(1).toUInt(&ok, 16);
    if (!text.startsWith('#') || !ok || (text.size() != 7 && text.size() != 9))
        throw BuildFailure(where + ": a colour is written #RRGGBB or #RRGGBBAA, not '" + text + "'");
    if (text.size() == 7)
        return {uint8_t(digits >> 16), uint8_t(digits >> 8), uint8_t(digits), 255};
    return {uint8_t(digits >> 24), uint8_t(digits >> 16), uint8_t(digits >> 8), uint8_t(digits)};
}

Rect parseBox(const QJsonValue& value, const QString& where)
{
    const QJsonArray box = value.toArray();
    if (box.size() != 4)
        throw BuildFailure(where + ": a box is [x, y, width, height]");
    const double x = number(box[0], where), y = number(box[1], where);
    const double width = number(box[2], where), height = number(box[3], where);
    if (width < 0 || height < 0)
        throw BuildFailure(where + ": a box cannot have a negative size");
    return {toTwips(x), toTwips(x + width), toTwips(y), toTwips(y + height)};
}

ShapeBuilder parseShape(const QJsonValue& layers, const QMap<QString, BitmapSymbol>& bitmaps, const QString& where)
{
    if (!layers.isArray() || layers.toArray().isEmpty())
        throw BuildFailure(where + ": a shape is a list of layers");
    ShapeBuilder shape;
    int index = 0;
    for (const QJsonValue& entry : layers.toArray()) {
        const QString layerWhere = where + " layer " + QString::number(index++);
        const QJsonObject object = entry.toObject();
        ShapeLayer layer;
        layer.path = parsePath(object, layerWhere);
        if (object.contains("fill"))
            layer.fill = parseFill(object["fill"], commandBounds(layer.path), bitmaps, layerWhere);
        if (object.contains("line")) {
            const QJsonObject line = object["line"].toObject();
            const double width = line["width"].toDouble(1);
            if (width < 0 || width > 255)
                throw BuildFailure(layerWhere + ": a line width is 0 to 255 pixels");
            layer.line = LineStyle{uint16_t(toTwips(width)), parseColor(line["color"], layerWhere)};
        }
        if (!layer.fill && !layer.line)
            throw BuildFailure(layerWhere + ": a layer needs a \"fill\" or a \"line\"");
        shape.addLayer(std::move(layer));
    }
    return shape;
}

} // namespace authoring
