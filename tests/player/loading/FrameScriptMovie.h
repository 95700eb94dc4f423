#pragma once

#include "authoring/MovieWriter.h"
#include "authoring/ScriptCompiler.h"

#include <QByteArray>
#include <QStringList>
#include <QtGlobal>

// A movie of the given SWF version with one frame per script, each script that frame's actions.
// Empty (and a warning) when a script does not compile.
inline QByteArray frameScriptMovie(int version, const QStringList& frameScripts)
{
    authoring::MovieWriter movie(version, 200, 100, 12);
    for (const QString& script : frameScripts) {
        authoring::CompileResult compiled = authoring::ScriptCompiler::compile(script.toStdString());
        if (!compiled.ok()) {
            qWarning("script does not compile: %s", qPrintable(script));
            return {};
        }
        movie.root().doAction(compiled.actions);
        movie.root().showFrame();
    }
    return movie.toBytes(false);
}
