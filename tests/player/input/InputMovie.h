#pragma once

// Movies for the input tests, built with the authoring kit: a 400 x 300 stage with a button
// named "button" (a 100 pixel square at 50,50, its actions given) and a clip named "clip" (a
// 100 pixel square at 200,50), then a frame script.

#include "authoring/ButtonDefinition.h"
#include "authoring/MovieWriter.h"
#include "authoring/ScriptCompiler.h"
#include "authoring/ShapeBuilder.h"

#include <QTest>
#include <string>
#include <vector>

namespace input_test {

inline QByteArray compiled(const std::string& source)
{
    authoring::CompileResult result = authoring::ScriptCompiler::compile(source);
    if (!result.ok())
        qWarning("script does not compile: %s", source.c_str());
    return result.actions;
}

inline QByteArray square(uint16_t id, int32_t sizeTwips)
{
    authoring::ShapeBuilder shape;
    authoring::ShapeLayer layer;
    layer.fill = authoring::FillStyle{};
    layer.fill->color = authoring::Rgba{200, 0, 0, 255};
    layer.path.addRectangle(authoring::Rect{0, sizeTwips, 0, sizeTwips});
    shape.addLayer(layer);
    return shape.tagBody(id);
}

// A right triangle filling the lower left half of a 100 pixel square.
inline QByteArray triangle(uint16_t id)
{
    authoring::ShapeBuilder shape;
    authoring::ShapeLayer layer;
    layer.fill = authoring::FillStyle{};
    layer.fill->color = authoring::Rgba{0, 0, 200, 255};
    layer.path.moveTo(0, 0);
    layer.path.lineTo(0, 2000);
    layer.path.lineTo(2000, 2000);
    layer.path.lineTo(0, 0);
    shape.addLayer(layer);
    return shape.tagBody(id);
}

struct ButtonAction {
    uint16_t conditions;
    std::string script;
};

inline QByteArray inputMovie(const std::vector<ButtonAction>& buttonActions, const std::string& frameScript,
                             bool trackAsMenu = false)
{
    authoring::MovieWriter movie(8, 400, 300, 12);
    const uint16_t squareId = movie.allocateCharacterId();
    movie.root().addTag(authoring::TagCode::DefineShape3, square(squareId, 2000));
    const uint16_t triangleId = movie.allocateCharacterId();
    movie.root().addTag(authoring::TagCode::DefineShape3, triangle(triangleId));

    authoring::ButtonDefinition button;
    button.trackAsMenu = trackAsMenu;
    authoring::ButtonDefinition::Record record;
    record.characterId = squareId;
    button.records.push_back(record);
    for (const ButtonAction& action : buttonActions)
        button.actions.push_back({action.conditions, compiled(action.script)});
    const uint16_t buttonId = movie.allocateCharacterId();
    movie.root().addTag(authoring::TagCode::DefineButton2, button.tagBody(buttonId));

    authoring::TimelineWriter sprite;
    authoring::PlaceObjectRecord inner;
    inner.characterId = squareId;
    inner.depth = 1;
    inner.name = "inner";
    sprite.placeObject(inner);
    sprite.showFrame();
    const uint16_t spriteId = movie.allocateCharacterId();
    movie.defineSprite(spriteId, sprite);

    authoring::TimelineWriter triangleSprite;
    authoring::PlaceObjectRecord triangleShape;
    triangleShape.characterId = triangleId;
    triangleShape.depth = 1;
    triangleSprite.placeObject(triangleShape);
    triangleSprite.showFrame();
    const uint16_t triangleSpriteId = movie.allocateCharacterId();
    movie.defineSprite(triangleSpriteId, triangleSprite);

    authoring::PlaceObjectRecord placeButton;
    placeButton.characterId = buttonId;
    placeButton.depth = 1;
    placeButton.name = "button";
    placeButton.transform = authoring::translation(1000, 1000);
    movie.root().placeObject(placeButton);

    authoring::PlaceObjectRecord placeClip;
    placeClip.characterId = spriteId;
    placeClip.depth = 2;
    placeClip.name = "clip";
    placeClip.transform = authoring::translation(4000, 1000);
    movie.root().placeObject(placeClip);

    // The triangle clip sits at 50,200.
    authoring::PlaceObjectRecord placeTriangle;
    placeTriangle.characterId = triangleSpriteId;
    placeTriangle.depth = 3;
    placeTriangle.name = "triangle";
    placeTriangle.transform = authoring::translation(1000, 4000);
    movie.root().placeObject(placeTriangle);

    if (!frameScript.empty())
        movie.root().doAction(compiled(frameScript));
    movie.root().showFrame();
    return movie.toBytes(false);
}

} // namespace input_test
