#include "TestTemplates.h"

#include "authoring/TemplateBuilder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

QString writeTemplate(const QString& path, const QStringList& frameScripts)
{
    QTemporaryDir source;
    QJsonArray frames;
    for (const QString& script : frameScripts)
        frames.append(QJsonObject{{"script", script}});
    const QJsonObject manifest{{"width", 100}, {"height", 100}, {"frames", frames}};
    QFile manifestFile(source.filePath("template.json"));
    if (!manifestFile.open(QIODevice::WriteOnly))
        return "cannot write the manifest";
    manifestFile.write(QJsonDocument(manifest).toJson());
    manifestFile.close();
    const authoring::TemplateBuildResult built = authoring::buildTemplate(source.path());
    if (!built.ok())
        return built.error;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile movie(path);
    if (!movie.open(QIODevice::WriteOnly) || movie.write(built.movie) != built.movie.size())
        return "cannot write " + path;
    return {};
}

QString variables(const QStringList& namesAndValues)
{
    QString script;
    for (int index = 0; index + 1 < namesAndValues.size(); index += 2) {
        QString value = namesAndValues[index + 1];
        value.replace("\\", "\\\\").replace("\"", "\\\"");
        script += namesAndValues[index] + " = \"" + value + "\";\n";
    }
    return script;
}
