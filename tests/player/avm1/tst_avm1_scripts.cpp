// Every script test under scripts/<Class>/<case>.as, compiled by the authoring kit into a movie
// of the SWF version its first line names ("// swf 6", optionally followed by "frames N") and
// played in a player with its script engine: the traced lines must equal <case>.trace.

#include "authoring/TemplateBuilder.h"
#include "player/Player.h"
#include "player/ScriptEngineFactory.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {

QString scriptsFolder()
{
    return QStringLiteral(SKRV_SOURCE_DIR "/tests/player/avm1/scripts");
}

struct ScriptHeader {
    int swfVersion = 0;
    int frames = 1;
};

// The first line: "// swf V" and, for scripts that watch the timeline, "frames N".
std::optional<ScriptHeader> readHeader(const QString& firstLine)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^//\s*swf\s+(\d+)(?:\s+frames\s+(\d+))?\s*$)"));
    const QRegularExpressionMatch match = pattern.match(firstLine.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    ScriptHeader header;
    header.swfVersion = match.captured(1).toInt();
    if (match.hasCaptured(2))
        header.frames = match.captured(2).toInt();
    return header;
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
        QVERIFY2(header, "the first line must be \"// swf N\" (optionally \"frames N\")");
        QVERIFY2(QFile::exists(script.chopped(3) + ".trace"), "no .trace file beside the script");
        const QStringList expected = readText(script.chopped(3) + ".trace").split('\n');

        const authoring::TemplateBuildResult movie = authoring::buildScriptMovie(script, header->swfVersion);
        QVERIFY2(movie.ok(), qPrintable(movie.error));

        player::Player engine;
        QStringList traces;
        engine.onTrace = [&](const QString& line) { traces.append(line); };
        engine.setScriptHost(player::makeScriptHost(engine));
        const std::optional<QString> error = engine.loadMovieData(0, movie.movie, QStringLiteral("file:///script.swf"));
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
