#pragma once

#include "authoring/TemplateBuilder.h"
#include "player/Player.h"
#include "player/ScriptEngineFactory.h"
#include "player/render/DisplayRenderer.h"

#include <QFile>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>

// What a script draws: the script becomes a one-frame movie (written into `folder`), plays
// once, and its 100x100 stage is rendered at low quality next to the lines it traced. A script
// that does not compile traces "<no movie>" and leaves the image null.
struct ScriptedStage {
    QImage image;
    QStringList traces;
};

inline ScriptedStage renderScriptedStage(const QTemporaryDir& folder, const QString& script)
{
    ScriptedStage result;
    const QString path = folder.filePath(QStringLiteral("script.as"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return result;
    file.write(script.toUtf8());
    file.close();
    const authoring::TemplateBuildResult built = authoring::buildScriptMovie(path);
    if (built.movie.isEmpty()) {
        result.traces.append(QStringLiteral("<no movie>"));
        return result;
    }
    player::Player player;
    player.setScriptHost(player::makeScriptHost(player));
    player.onTrace = [&result](const QString& line) { result.traces.append(line); };
    if (player.loadMovieData(0, built.movie, QStringLiteral("file:///test.swf")))
        return result;
    player::render::DisplayRenderer renderer;
    renderer.setHighQuality(false);
    result.image = renderer.renderStageImage(player.stage(), QSize(100, 100), player::ScaleMode::ExactFit)
                       .convertToFormat(QImage::Format_RGB32);
    return result;
}
