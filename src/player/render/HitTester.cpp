#include "HitTester.h"

#include "ScrollRectClip.h"

#include "player/display/ButtonInstance.h"
#include "player/display/GraphicInstances.h"
#include "player/display/MovieClip.h"

#include <QPainterPathStroker>
#include <algorithm>

namespace player::render {

namespace {

// Objects nest as deep as a movie makes them; a test goes no deeper than the instantiation does.
constexpr int MaximumNesting = 64;

QTransform toTransform(const swf::Matrix& matrix)
{
    return QTransform(matrix.a, matrix.b, matrix.c, matrix.d, matrix.tx, matrix.ty);
}

bool boundsContain(const swf::Rect& bounds, QPointF point)
{
    if (bounds.xMin >= bounds.xMax || bounds.yMin >= bounds.yMax)
        return false;
    return point.x() >= bounds.xMin && point.x() <= bounds.xMax && point.y() >= bounds.yMin && point.y() <= bounds.yMax;
}

bool shapeContains(const ConvertedShape& shape, QPointF point)
{
    for (const ConvertedShape::DrawPath& drawPath : shape.paths) {
        if (drawPath.kind == ConvertedShape::Kind::Fill) {
            if (drawPath.path.contains(point))
                return true;
            continue;
        }
        if (drawPath.styleIndex >= shape.lineStyles.size())
            continue;
        QPainterPathStroker stroker;
        stroker.setWidth(std::max<double>(shape.lineStyles[drawPath.styleIndex].width, 20.0));
        stroker.setCapStyle(Qt::RoundCap);
        stroker.setJoinStyle(Qt::RoundJoin);
        if (stroker.createStroke(drawPath.path).contains(point))
            return true;
    }
    return false;
}

} // namespace

QTransform HitTester::stageTransform(const display::DisplayObject& object)
{
    QTransform result = toTransform(object.matrix());
    for (const display::DisplayObject* parent = object.parent(); parent; parent = parent->parent())
        result = result * toTransform(parent->matrix());
    return result;
}

bool HitTester::hitTestPoint(const display::DisplayObject& object, QPointF stagePoint, bool shapeOnly)
{
    if (shapeOnly)
        return hitsContentAt(object, stageTransform(object), stagePoint, false, 0);
    const swf::Rect local = object.localBounds();
    if (local.xMin >= local.xMax && local.yMin >= local.yMax)
        return false;
    const QRectF stageBounds = stageTransform(object).mapRect(
        QRectF(QPointF(local.xMin, local.yMin), QPointF(local.xMax, local.yMax)));
    return stagePoint.x() >= stageBounds.left() && stagePoint.x() <= stageBounds.right()
        && stagePoint.y() >= stageBounds.top() && stagePoint.y() <= stageBounds.bottom();
}

bool HitTester::hitsContent(const display::DisplayObject& object, QPointF stagePoint, bool skipInvisible)
{
    return hitsContentAt(object, stageTransform(object), stagePoint, skipInvisible, 0);
}

bool HitTester::hitsContentAt(const display::DisplayObject& object, const QTransform& toStage, QPointF stagePoint,
                              bool skipInvisible, int nesting)
{
    if (nesting > MaximumNesting || (skipInvisible && !object.isVisible()))
        return false;
    // A degenerate matrix (a scale of 0) covers no area.
    if (!toStage.isInvertible())
        return false;
    if (object.kind() == display::DisplayKind::Button) {
        const auto& button = static_cast<const display::ButtonInstance&>(object);
        for (const auto& [depth, hit] : button.hitArea()) {
            if (hit && hitsContentAt(*hit, toTransform(hit->matrix()) * toStage, stagePoint, false, nesting + 1))
                return true;
        }
        return false;
    }
    QPointF localPoint = toStage.inverted().map(stagePoint);
    // A scroll rectangle hides what lies outside it and moves what lies inside.
    QTransform contentToStage = toStage;
    if (const std::optional<swf::Rect>& scrollRect = object.scrollRect()) {
        if (!ScrollRectClip::visibleArea(*scrollRect).contains(localPoint))
            return false;
        localPoint += QPointF(scrollRect->xMin, scrollRect->yMin);
        contentToStage = ScrollRectClip::contentOffset(object) * toStage;
    }
    if (hitsOwnShape(object, localPoint))
        return true;
    const display::DisplayContainer* container = object.asContainer();
    if (!container)
        return false;
    // Children above a mask are hit only where the mask is; the mask itself is never hit.
    const display::DisplayObject* mask = nullptr;
    int maskedUpTo = 0;
    for (const auto& [depth, child] : container->children()) {
        if (!child)
            continue;
        if (mask && depth > maskedUpTo)
            mask = nullptr;
        if (child->clipDepth()) {
            mask = child.get();
            maskedUpTo = *child->clipDepth();
            continue;
        }
        const QTransform childToStage = toTransform(child->matrix()) * contentToStage;
        if (!hitsContentAt(*child, childToStage, stagePoint, skipInvisible, nesting + 1))
            continue;
        if (mask && !hitsContentAt(*mask, toTransform(mask->matrix()) * contentToStage, stagePoint, false, nesting + 1))
            continue;
        return true;
    }
    return false;
}

bool HitTester::hitsOwnShape(const display::DisplayObject& object, QPointF localPoint)
{
    switch (object.kind()) {
    case display::DisplayKind::Shape: {
        const auto& instance = static_cast<const display::ShapeInstance&>(object);
        return shapeContains(m_cache.shape(object.character(), instance.shape()), localPoint);
    }
    case display::DisplayKind::MorphShape: {
        const auto& instance = static_cast<const display::MorphShapeInstance&>(object);
        return shapeContains(m_cache.morph(object.character(), instance.morphShape(), object.ratio()), localPoint);
    }
    case display::DisplayKind::MovieClip: {
        const auto& clip = static_cast<const display::MovieClip&>(object);
        if (clip.drawing().isEmpty())
            return false;
        const std::shared_ptr<const swf::Shape> drawing = clip.drawing().shape();
        return drawing && shapeContains(m_cache.shape(drawing, *drawing), localPoint);
    }
    case display::DisplayKind::Button:
        return false;
    default:
        // Bitmaps and text are hit on their bounds.
        return boundsContain(object.localBounds(), localPoint);
    }
}

} // namespace player::render
