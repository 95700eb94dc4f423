#include "BitmapDataArguments.h"
#include "BitmapDataNoise.h"
#include "BitmapDataTransfers.h"
#include "BitmapDataObject.h"
#include "Builtins.h"
#include "ColorTransform.h"
#include "Declaration.h"

#include "player/avm1/ClipObject.h"
#include "player/avm1/DisplayBridge.h"
#include "player/avm1/Machine.h"
#include "player/avm1/ScriptExceptions.h"
#include "player/display/BitmapPixels.h"
#include "player/display/MovieClip.h"
#include "player/display/MovieLibrary.h"
#include "player/render/BitmapDecoder.h"
#include "player/render/ColorTransforms.h"
#include "player/render/DisplayRenderer.h"
#include "player/render/FillBrush.h"

#include <QPainter>
#include <cmath>
#include <optional>

namespace player::avm1::builtins {

namespace {

using display::BitmapPixels;
using namespace bitmap_arguments;

int coordinate(Machine& machine, const Value& value)
{
    return machine.toInt32(value);
}

BitmapDataObject* makeBitmapData(Machine& machine, Object* prototype, std::shared_ptr<BitmapPixels> pixels)
{
    return machine.make<BitmapDataObject>(prototype, std::move(pixels));
}

// draw(): the source's own content, without its own transform, through the matrix.
void drawInto(Machine& machine, BitmapPixels& target, const Arguments& arguments)
{
    const Value source = argument(arguments, 0);
    QImage canvas = target.image();
    QPainter painter(&canvas);
    QTransform matrix;
    if (Object* given = argument(arguments, 1).asObject()) {
        auto term = [&](const char* name) { return machine.toNumber(given->get(machine, QString::fromLatin1(name))); };
        matrix = QTransform(term("a"), term("b"), term("c"), term("d"), term("tx"), term("ty"));
    }
    if (std::optional<QRect> clip = rectangleOf(machine, argument(arguments, 4)))
        painter.setClipRect(*clip);
    swf::ColorTransform color;
    if (Object* transform = argument(arguments, 2).asObject())
        color = colorTransformFromObject(machine, transform);
    const bool smoothing = machine.toBoolean(argument(arguments, 5));
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smoothing);
    painter.setRenderHint(QPainter::Antialiasing, true);

    if (BitmapPixels* bitmap = BitmapDataObject::pixelsOf(source)) {
        painter.setTransform(matrix);
        QImage image = bitmap->image();
        if (!color.isIdentity())
            image = render::applyColorTransform(color, image);
        painter.drawImage(0, 0, image);
    } else if (source.asObject() && source.asObject()->kind() == ObjectKind::Clip) {
        display::DisplayObject* object = static_cast<ClipObject*>(source.asObject())->displayObject();
        if (!object)
            return;
        // The renderer places an object by its own matrix within its parent: undo that, then
        // map twips to pixels and apply the given matrix.
        const QTransform own = render::toTransform(object->matrix());
        bool invertible = false;
        const QTransform undoOwn = own.inverted(&invertible);
        if (!invertible)
            return;
        render::DisplayRenderer renderer;
        renderer.setHighQuality(true);
        renderer.renderObject(painter, *object, undoOwn * QTransform::fromScale(0.05, 0.05) * matrix, color);
    } else {
        return;
    }
    painter.end();
    target.replaceImage(canvas);
}

bool isColorTransform(Machine& machine, Object* object)
{
    for (Object* link = object ? object->prototype() : nullptr; link; link = link->prototype()) {
        if (link == machine.prototypes().colorTransform)
            return true;
    }
    return false;
}

Value getPixel(Machine& machine, Object* self, const Arguments& arguments)
{
    BitmapPixels* pixels = pixelsOf(self);
    if (!pixels || arguments.size() < 2)
        return Value(MissingArguments);
    return Value(double(pixels->pixel(coordinate(machine, argument(arguments, 0)), coordinate(machine, argument(arguments, 1)))));
}

Value getPixel32(Machine& machine, Object* self, const Arguments& arguments)
{
    BitmapPixels* pixels = pixelsOf(self);
    if (!pixels || arguments.size() < 2)
        return Value(MissingArguments);
    // Flash gives the colour as a signed 32-bit number: opaque white is -1.
    const uint32_t color = pixels->pixel32(coordinate(machine, argument(arguments, 0)), coordinate(machine, argument(arguments, 1)));
    return Value(double(static_cast<int32_t>(color)));
}

Value setPixel(Machine& machine, Object* self, const Arguments& arguments)
{
    BitmapPixels* pixels = pixelsOf(self);
    if (!pixels || arguments.size() < 3)
        return Value(MissingArguments);
    pixels->setPixel(coordinate(machine, argument(arguments, 0)), coordinate(machine, argument(arguments, 1)),
                     colorOf(machine, argument(arguments, 2)));
    return Value(0);
}

Value setPixel32(Machine& machine, Object* self, const Arguments& arguments)
{
    BitmapPixels* pixels = pixelsOf(self);
    if (!pixels || arguments.size() < 3)
        return Value(MissingArguments);
    pixels->setPixel32(coordinate(machine, argument(arguments, 0)), coordinate(machine, argument(arguments, 1)),
                       colorOf(machine, argument(arguments, 2)));
    return Value(0);
}

Value fillRect(Machine& machine, Object* self, const Arguments& arguments)
{
    BitmapPixels* pixels = pixelsOf(self);
    if (!pixels || arguments.size() < 2)
        return Value(MissingArguments);
    std::optional<QRect> area = rectangleOf(machine, arguments[0]);
    if (!area)
        return Value(MissingArguments);
    pixels->fillRect(*area, colorOf(machine, arguments[1]));
    return Value(0);
}

// floodFill answers 1 when it changed a pixel and 0 when the point lies outside or already
// has the colour.
Value floodFill(Machine& machine, Object* self, const Arguments& arguments)
{
    BitmapPixels* pixels = pixelsOf(self);
    if (!pixels || arguments.size() < 3)
        return Value(MissingArguments);
    const bool filled = pixels->floodFill(coordinate(machine, arguments[0]), coordinate(machine, arguments[1]),
                                          colorOf(machine, arguments[2]));
    return Value(filled ? 1 : 0);
}

Value copyPixels(Machine& machine, Object* self, const Arguments& arguments)
{
    BitmapPixels* pixels = pixelsOf(self);
    if (!pixels || arguments.size() < 3)
        return Value(MissingArguments);
    const auto source = sourceOf(arguments[0]);
    if (const double* refusal = std::get_if<double>(&source))
        return Value(*refusal);
    std::optional<QRect> area = rectangleOf(machine, arguments[1]);
    if (!area)
        return Value(BadSourceRectangle);
    const QPoint destination = pointOf(machine, arguments[2]).value_or(QPoint());
    const BitmapPixels* alphaBitmap = BitmapDataObject::pixelsOf(argument(arguments, 3));
    const QPoint alphaPoint = pointOf(machine, argument(arguments, 4)).value_or(QPoint());
    // Without an alpha bitmap the source replaces what is there unless mergeAlpha is given.
    const bool mergeAlpha = arguments.size() >= 6 ? machine.toBoolean(arguments[5]) : alphaBitmap != nullptr;
    pixels->copyPixels(*std::get<BitmapPixels*>(source), *area, destination, mergeAlpha, alphaBitmap, alphaPoint);
    return Value(0);
}

// colorTransform answers -2 for a bad rectangle, -3 when the transform is no object, and -1
// when it did its work.
Value transformColors(Machine& machine, Object* self, const Arguments& arguments)
{
    BitmapPixels* pixels = pixelsOf(self);
    if (!pixels || arguments.size() < 2)
        return Value(MissingArguments);
    std::optional<QRect> area = rectangleOf(machine, arguments[0]);
    if (!area)
        return Value(-2);
    // Only a flash.geom.ColorTransform will do, not any object with its terms.
    Object* transformObject = arguments[1].asObject();
    if (!isColorTransform(machine, transformObject))
        return Value(-3);
    auto term = [&](const char* name) { return machine.toNumber(transformObject->get(machine, QString::fromLatin1(name))); };
    BitmapPixels::ColorTransform transform;
    transform.redMultiplier = term("redMultiplier");
    transform.greenMultiplier = term("greenMultiplier");
    transform.blueMultiplier = term("blueMultiplier");
    transform.alphaMultiplier = term("alphaMultiplier");
    transform.redOffset = term("redOffset");
    transform.greenOffset = term("greenOffset");
    transform.blueOffset = term("blueOffset");
    transform.alphaOffset = term("alphaOffset");
    pixels->colorTransform(*area, transform);
    return Value(-1);
}

Value cloneBitmap(Machine& machine, Object* self, const Arguments&)
{
    BitmapPixels* pixels = pixelsOf(self);
    if (!pixels)
        return Value(MissingArguments);
    return Value(makeBitmapData(machine, self->prototype(), std::make_shared<BitmapPixels>(*pixels)));
}

Value disposeBitmap(Machine&, Object* self, const Arguments&)
{
    auto* bitmap = dynamic_cast<BitmapDataObject*>(self);
    if (!bitmap || !bitmap->pixels())
        return Value(MissingArguments);
    bitmap->dispose();
    return Value();
}

Value drawBitmap(Machine& machine, Object* self, const Arguments& arguments)
{
    BitmapPixels* pixels = pixelsOf(self);
    if (!pixels)
        return Value(MissingArguments);
    drawInto(machine, *pixels, arguments);
    return Value();
}

// A disposed bitmap reports -1 for its sizes, as in Flash.
// Also of an object that super() gave a bitmap as its native part.
Value width(Machine& machine, Object* self, const Arguments&)
{
    BitmapPixels* pixels = pixelsOf(machine.nativePartOf(self));
    return Value(pixels ? pixels->width() : -1);
}

Value height(Machine& machine, Object* self, const Arguments&)
{
    BitmapPixels* pixels = pixelsOf(machine.nativePartOf(self));
    return Value(pixels ? pixels->height() : -1);
}

Value transparent(Machine&, Object* self, const Arguments&)
{
    BitmapPixels* pixels = pixelsOf(self);
    return pixels ? Value(pixels->isTransparent()) : Value(-1);
}

Value rectangle(Machine& machine, Object* self, const Arguments&)
{
    BitmapPixels* pixels = pixelsOf(self);
    return pixels ? Value(rectangleObject(machine, pixels->rect())) : Value(-1);
}

// loadBitmap: a bitmap the movie exports under a linkage name, decoded into a new BitmapData.
Value loadBitmap(Machine& machine, Object* prototype, const QString& name)
{
    Object* root = machine.bridge().level(0);
    display::DisplayObject* rootObject = displayObjectOfClip(root);
    const auto& library = rootObject ? rootObject->library() : nullptr;
    if (!library)
        return Value();
    std::optional<uint16_t> id = library->exportedId(name.toStdString());
    const swf::BitmapDefinition* definition = id ? library->bitmap(*id) : nullptr;
    if (!definition)
        return Value();
    render::DecodedBitmap decoded = render::BitmapDecoder::decode(*definition, library->movie().jpegTables);
    if (!decoded.ok() || decoded.image.isNull())
        return Value();
    const bool transparent = decoded.image.hasAlphaChannel();
    auto pixels = std::make_shared<BitmapPixels>(decoded.image.width(), decoded.image.height(), transparent, 0);
    pixels->replaceImage(decoded.image);
    return Value(makeBitmapData(machine, prototype, std::move(pixels)));
}

Value attachBitmap(Machine& machine, Object* self, const Arguments& arguments)
{
    display::MovieClip* clip = movieClipOf(self);
    auto* bitmap = dynamic_cast<BitmapDataObject*>(argument(arguments, 0).asObject());
    if (!clip || !bitmap || !bitmap->pixels() || arguments.size() < 2)
        return Value();
    clip->attachBitmap(bitmap->pixels(), machine.toInt32(arguments[1]));
    return Value();
}

Value loadBitmapByName(Machine& machine, Object* prototype, Object*, const Arguments& arguments)
{
    return loadBitmap(machine, prototype, machine.toString(argument(arguments, 0)));
}

constexpr Declaration prototypeDeclarations[] = {
    method("getPixel", getPixel),
    method("getPixel32", getPixel32),
    method("setPixel", setPixel),
    method("setPixel32", setPixel32),
    method("fillRect", fillRect),
    method("floodFill", floodFill),
    method("copyPixels", copyPixels),
    method("colorTransform", transformColors),
    method("clone", cloneBitmap),
    method("dispose", disposeBitmap),
    method("draw", drawBitmap),
};

// Unlike the methods, the four sizes show in for..in.
constexpr Declaration propertyDeclarations[] = {
    getter("width", width, 0),
    getter("height", height, 0),
    getter("transparent", transparent, 0),
    getter("rectangle", rectangle, 0),
};

// The channel numbers are plain enumerable properties; loadBitmap makes its bitmaps with the
// class's own prototype.
constexpr Declaration constructorDeclarations[] = {
    method("loadBitmap", loadBitmapByName),
    number("RED_CHANNEL", 1, 0),
    number("GREEN_CHANNEL", 2, 0),
    number("BLUE_CHANNEL", 4, 0),
    number("ALPHA_CHANNEL", 8, 0),
};

constexpr Declaration clipDeclarations[] = {
    method("attachBitmap", attachBitmap).from(8),
};

} // namespace

void installBitmapData(Machine& machine)
{
    Object* prototype = machine.makeObject();
    auto make = [](Machine& machine, Object* self, const Arguments& arguments) -> Value {
        if (!self)
            return Value();
        const int width = machine.toInt32(argument(arguments, 0));
        const int height = machine.toInt32(argument(arguments, 1));
        if (arguments.size() < 2 || !BitmapPixels::isAllowedSize(width, height, machine.swfVersion()))
            return Value();
        const bool transparent = arguments.size() < 3 || machine.toBoolean(arguments[2]);
        const uint32_t fill = arguments.size() < 4 ? 0xFFFFFFFFu : colorOf(machine, arguments[3]);
        return Value(makeBitmapData(machine, self->prototype(), std::make_shared<BitmapPixels>(width, height, transparent, fill)));
    };
    // With "new", a size Flash does not allow gives undefined rather than an empty object.
    auto construct = [make](Machine& machine, Object* self, const Arguments& arguments) -> Value {
        Value made = make(machine, self, arguments);
        if (!made.isObject())
            throw ConstructionRefused{};
        return made;
    };
    FunctionObject* constructor = defineClass(machine, QString(), prototype, make, construct);
    // Bitmaps loaded by name get this prototype whatever scripts do to the class.
    machine.addRoot(prototype);
    installDeclarations(machine, constructor, constructorDeclarations, prototype);
    installDeclarations(machine, prototype, prototypeDeclarations);
    installBitmapDataNoise(machine, prototype);
    installBitmapDataTransfers(machine, prototype);
    installDeclarations(machine, prototype, propertyDeclarations);

    Object* flash = machine.global()->get(machine, QStringLiteral("flash")).asObject();
    if (!flash)
        return;
    Object* displayPackage = flash->get(machine, QStringLiteral("display")).asObject();
    if (!displayPackage) {
        displayPackage = machine.makeObject();
        flash->define(QStringLiteral("display"), Value(displayPackage));
    }
    displayPackage->define(QStringLiteral("BitmapData"), Value(constructor));
    if (Object* clipPrototype = machine.prototypes().movieClip)
        installDeclarations(machine, clipPrototype, clipDeclarations);
}

} // namespace player::avm1::builtins
