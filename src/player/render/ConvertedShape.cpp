#include "ConvertedShape.h"

#include <QPainterPathStroker>
#include <algorithm>

namespace player::render {

QPainterPath ConvertedShape::coverage() const
{
    QPainterPath result;
    result.setFillRule(Qt::WindingFill);
    for (const DrawPath& drawPath : paths) {
        if (drawPath.kind == Kind::Fill) {
            // Adding a path keeps its subpaths; simplified() resolves the odd-even rule into
            // outlines so that the union with the other paths is right.
            result.addPath(drawPath.path.simplified());
        } else {
            QPainterPathStroker stroker;
            stroker.setWidth(std::max<double>(lineStyles[drawPath.styleIndex].width, 20.0));
            result.addPath(stroker.createStroke(drawPath.path));
        }
    }
    return result;
}

} // namespace player::render
