// Every script test under scripts/<Class>/<case>.as, compiled by the authoring kit into a movie
// of the SWF version its first line names and played in a player with its script engine: the
// traced lines must equal <case>.trace.
//
// The first line is "// swf V", optionally followed by "frames N" (frames played, the first
// included; 1 by default) and "shape NAME" (a 10 x 10 pixel shape placed on the stage under that
// name before the script runs; repeatable) and "clip PATH" (a clip placed before the script runs,
// "a/b" inside "a"; repeatable). The movie is 100 x 100 pixels at 12 frames a second,
// its script in frame 1 of 3, and its library exports an empty clip as "empty".

#include "authoring/MovieWriter.h"
#include "authoring/ScriptCompiler.h"
#include "authoring/ShapeBuilder.h"
#include "player/Player.h"
#include "../TracingPlayer.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace {

QString scriptsFolder()
{
    return QStringLiteral(SKRV_SOURCE_DIR "/tests/player/avm1/scripts");
}

struct ScriptHeader {
    int swfVersion = 0;
    int frames = 1;
    QStringList shapes;
    QStringList clips;
};

std::optional<ScriptHeader> readHeader(const QString& firstLine)
{
    const QStringList words = firstLine.simplified().split(u' ');
    if (words.size() < 3 || words[0] != QLatin1String("//") || words[1] != QLatin1String("swf"))
        return std::nullopt;
    ScriptHeader header;
    bool ok = false;
    header.swfVersion = words[2].toInt(&ok);
    if (!ok || header.swfVersion < 1)
        return std::nullopt;
    for (qsizetype index = 3; index + 1 < words.size(); index += 2) {
        if (words[index] == QLatin1String("frames"))
            header.frames = words[index + 1].toInt(&ok);
        else if (words[index] == QLatin1String("shape"))
            header.shapes.append(words[index + 1]);
        else if (words[index] == QLatin1String("clip"))
            header.clips.append(words[index + 1]);
        else
            return std::nullopt;
        if (!ok || header.frames < 1)
            return std::nullopt;
    }
    if (words.size() % 2 == 0)
        return std::nullopt;
    return header;
}

// Defines a sprite holding, by name, the clips of `paths` directly under `parent` (each of them a
// sprite of its own, defined the same way) and returns its character id.
uint16_t defineClipTree(authoring::MovieWriter& movie, const QStringList& paths, const QString& parent)
{
    authoring::TimelineWriter timeline;
    uint16_t depth = 1;
    const QString prefix = parent.isEmpty() ? QString() : parent + u'/';
    for (const QString& path : paths) {
        if (!path.startsWith(prefix) || path.mid(prefix.size()).contains(u'/'))
            continue;
        authoring::PlaceObjectRecord place;
        place.depth = depth++;
        place.characterId = defineClipTree(movie, paths, path);
        place.name = path.mid(prefix.size()).toStdString();
        timeline.placeObject(place);
    }
    timeline.showFrame();
    const uint16_t id = movie.allocateCharacterId();
    movie.defineSprite(id, timeline);
    return id;
}

QByteArray scriptMovie(const ScriptHeader& header, const QByteArray& actions)
{
    authoring::MovieWriter movie(header.swfVersion, 100, 100, 12);
    const uint16_t emptyId = movie.allocateCharacterId();
    authoring::TimelineWriter empty;
    empty.showFrame();
    movie.defineSprite(emptyId, empty);
    movie.exportAsset(emptyId, "empty");
    uint16_t depth = 1;
    for (const QString& name : header.shapes) {
        authoring::ShapeBuilder shape;
        authoring::ShapeLayer square;
        square.fill = authoring::FillStyle{};
        square.fill->color = authoring::Rgba{255, 0, 0, 255};
        square.path.addRectangle(authoring::Rect{0, 0, 200, 200});
        shape.addLayer(square);
        const uint16_t shapeId = movie.allocateCharacterId();
        movie.root().addTag(authoring::TagCode::DefineShape3, shape.tagBody(shapeId));
        authoring::PlaceObjectRecord place;
        place.depth = depth++;
        place.characterId = shapeId;
        place.name = name.toStdString();
        movie.root().placeObject(place);
    }
    for (const QString& path : header.clips) {
        if (path.contains(u'/'))
            continue;
        authoring::PlaceObjectRecord place;
        place.depth = depth++;
        place.characterId = defineClipTree(movie, header.clips, path);
        place.name = path.toStdString();
        movie.root().placeObject(place);
    }
    movie.root().doAction(actions);
    movie.root().showFrame();
    movie.root().showFrame();
    movie.root().showFrame();
    return movie.toBytes(false);
}

QString readText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace

class ScriptFilesTest : public QObject {
    Q_OBJECT

private slots:
    void tracesMatch_data()
    {
        QTest::addColumn<QString>("script");
        QStringList scripts;
        QDirIterator files(scriptsFolder(), {"*.as"}, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext())
            scripts.append(files.next());
        scripts.sort();
        QVERIFY2(!scripts.isEmpty(), "no script tests found");
        for (const QString& script : scripts)
            QTest::newRow(qPrintable(QDir(scriptsFolder()).relativeFilePath(script))) << script;
    }

    void tracesMatch()
    {
        QFETCH(QString, script);
        const QString source = readText(script);
        const std::optional<ScriptHeader> header = readHeader(source.section('\n', 0, 0));
        QVERIFY2(header, "the first line must be \"// swf V\", then optionally \"frames N\", \"shape NAME\" and \"clip PATH\"");
        QVERIFY2(QFile::exists(script.chopped(3) + ".trace"), "no .trace file beside the script");
        const QStringList expected = readText(script.chopped(3) + ".trace").split('\n');

        const authoring::CompileResult compiled = authoring::ScriptCompiler::compile(source.toStdString());
        QVERIFY2(compiled.ok(), compiled.ok() ? "" : compiled.error->describe(QFileInfo(script).fileName().toStdString()).c_str());

        TracingPlayer run;
        player::Player& engine = run.engine;
        QStringList& traces = run.traces;
        const std::optional<QString> error = engine.loadMovieData(0, scriptMovie(*header, compiled.actions), QStringLiteral("file:///script.swf"));
        QVERIFY2(!error, qPrintable(error.value_or(QString())));
        for (int frame = 1; frame < header->frames; ++frame)
            engine.advanceFrame();

        // The .trace file ends with a line feed, as the player's trace log does.
        traces.append(QString());
        QCOMPARE(traces, expected);
    }
};

QTEST_GUILESS_MAIN(ScriptFilesTest)
#include "tst_avm1_scripts.moc"
