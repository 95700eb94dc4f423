// Every compiler construct case of data/constructs, compiled into a movie and played by
// skrv-play: the traces must equal the expected lines (recorded from the reference player).
// Skips, with exit code 77, while skrv-play is missing or does not run scripts yet.

#include "authoring/TemplateBuilder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

constexpr int skippedExitCode = 77;

QString playerPath()
{
    return QStringLiteral(SKRV_BIN_DIR "/skrv-play");
}

// The trace output of the script's movie after one frame, or an error text starting with "!".
QString playTraces(const QString& scriptPath, const QDir& work)
{
    const authoring::TemplateBuildResult movie = authoring::buildScriptMovie(scriptPath);
    if (!movie.ok())
        return "!" + movie.error;
    const QString moviePath = work.filePath(QFileInfo(scriptPath).baseName() + ".swf");
    const QString tracePath = work.filePath(QFileInfo(scriptPath).baseName() + ".txt");
    QFile file(moviePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(movie.movie) != movie.movie.size())
        return "!cannot write " + moviePath;
    file.close();
    QProcess player;
    player.start(playerPath(), {"--frames", "1", "--trace", tracePath, moviePath});
    if (!player.waitForFinished(60000)) {
        player.kill();
        player.waitForFinished();
        return "!skrv-play did not finish";
    }
    if (player.exitStatus() != QProcess::NormalExit || player.exitCode() != 0)
        return "!skrv-play failed: " + QString::fromUtf8(player.readAllStandardError());
    QFile traces(tracePath);
    if (!traces.open(QIODevice::ReadOnly))
        return "!no trace file";
    return QString::fromUtf8(traces.readAll());
}

} // namespace

class ScriptConstructsTest : public QObject {
    Q_OBJECT

public:
    QTemporaryDir work;

private slots:
    void tracesMatch_data()
    {
        QTest::addColumn<QString>("script");
        const QDir cases(QStringLiteral(SKRV_TEST_DATA_DIR "/constructs"));
        for (const QString& name : cases.entryList({"*.as"}, QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(name)) << cases.filePath(name);
    }

    void tracesMatch()
    {
        QFETCH(QString, script);
        QFile expectedFile(script.chopped(3) + ".expected");
        QVERIFY(expectedFile.open(QIODevice::ReadOnly));
        const QString expected = QString::fromUtf8(expectedFile.readAll());
        const QString actual = playTraces(script, QDir(work.path()));
        QVERIFY2(!actual.startsWith('!'), qPrintable(actual));
        QCOMPARE(actual.split('\n'), expected.split('\n'));
    }
};

int main(int argc, char** argv)
{
    ScriptConstructsTest test;
    if (!QFileInfo(playerPath()).isExecutable()) {
        std::printf("skipped: %s does not exist yet\n", qPrintable(playerPath()));
        return skippedExitCode;
    }
    const QString probe = test.work.filePath("probe.as");
    QFile probeFile(probe);
    if (!probeFile.open(QIODevice::WriteOnly) || probeFile.write("trace(\"probe\");") < 0)
        return 1;
    probeFile.close();
    if (playTraces(probe, QDir(test.work.path())).trimmed() != "probe") {
        std::printf("skipped: skrv-play does not run scripts yet\n");
        return skippedExitCode;
    }
    return QTest::qExec(&test, argc, argv);
}

#include "tst_script_constructs.moc"
