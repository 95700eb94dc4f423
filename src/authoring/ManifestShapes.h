#pragma once

#include "ShapeBuilder.h"

#include <QJsonValue>
#include <QMap>
#include <QSize>
#include <QString>

namespace authoring {

struct BitmapSymbol {
    uint16_t characterId = 0;
    QSize size; // pixels
};

// Reads colours and shapes written in a template manifest; coordinates are pixels there and
// twips in the result. Throws BuildFailure naming `where` on bad input.
Rgba parseColor(const QJsonValue& value, const QString& where);
Rect parseBox(const QJsonValue& value, const QString& where);
ShapeBuilder parseShape(const QJsonValue& layers, const QMap<QString, BitmapSymbol>& bitmaps, const QString& where);

} // namespace authoring
