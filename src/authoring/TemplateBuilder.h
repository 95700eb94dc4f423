#pragma once

#include <QByteArray>
#include <QString>

namespace authoring {

struct TemplateBuildResult {
    QByteArray movie; // the SWF file; empty on error
    QString error;    // "file:line:column: message" for scripts, the manifest entry otherwise

    bool ok() const { return error.isEmpty(); }
};

// Builds a movie from a template source folder: a manifest "template.json" (stage size, frames,
// shapes, images, texts, clips, buttons, scripts) next to the images and ActionScript files it
// names. manifestPath may be the folder or the manifest file itself.
TemplateBuildResult buildTemplate(const QString& manifestPath);

// A movie of three empty frames, 100 x 100 pixels, whose first frame runs the script: for
// trying a script on its own and for testing the compiler against a player.
TemplateBuildResult buildScriptMovie(const QString& scriptPath);

} // namespace authoring
