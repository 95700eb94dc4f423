// Template source folders: a good one builds, and every kind of mistake is reported with the
// file and the entry at fault instead of a movie.

#include "authoring/TemplateBuilder.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace authoring;

namespace {

const char* validManifest = R"({
  "width": 64, "height": 32,
  "images": {"chequer": "chequer.png"},
  "shapes": {"box": [{"rect": [0, 0, 10, 10], "fill": {"bitmap": "chequer"}}]},
  "clips": {"holder": {"frames": [{"place": [{"depth": 1, "symbol": "box"}]}]}},
  "frames": [{"place": [{"depth": 1, "symbol": "holder", "name": "h"}], "script": {"file": "main.as"}}]
})";

void writeFile(const QDir& folder, const QString& name, const QByteArray& content)
{
    QFile file(folder.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

} // namespace

class TemplateBuilderTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_work;

    // A fresh folder holding the valid template with one file replaced.
    QDir templateFolder(const QString& replacedFile, const QByteArray& replacement)
    {
        static int counter = 0;
        QDir folder(m_work.filePath(QString::number(++counter)));
        folder.mkpath(".");
        QImage chequer(4, 4, QImage::Format_RGB32);
        chequer.fill(Qt::white);
        chequer.save(folder.filePath("chequer.png"));
        writeFile(folder, "template.json", validManifest);
        writeFile(folder, "main.as", "stop();\nfscommand(\"setsize\", \"64 x 32\");\n");
        if (!replacedFile.isEmpty())
            writeFile(folder, replacedFile, replacement);
        return folder;
    }

    static QByteArray manifestWith(const char* from, const char* to)
    {
        QByteArray manifest(validManifest);
        const int at = int(manifest.indexOf(from));
        return at < 0 ? QByteArray("not found") : manifest.replace(at, int(qstrlen(from)), to);
    }

private slots:
    void validTemplateBuilds()
    {
        const TemplateBuildResult result = buildTemplate(templateFolder({}, {}).path());
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.movie.left(4), QByteArray("CWS\x08"));
    }

    void mistakesAreReported_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("error");
        QTest::newRow("not JSON") << "template.json" << QByteArray("{\"width\": 64,") << "template.json: offset 13: ";
        QTest::newRow("no size") << "template.json" << manifestWith("\"width\": 64,", "")
                                 << "template.json: \"width\" and \"height\" must be 1 to 8191 pixels";
        QTest::newRow("unknown symbol") << "template.json" << manifestWith("\"symbol\": \"holder\"", "\"symbol\": \"ghost\"")
                                        << "template.json frame 1: no shape, text, button or clip named 'ghost'";
        QTest::newRow("bad colour") << "template.json" << manifestWith("{\"bitmap\": \"chequer\"}", "\"red\"")
                                    << "template.json shape 'box' layer 0: a colour is written #RRGGBB or #RRGGBBAA, not 'red'";
        QTest::newRow("unknown image") << "template.json" << manifestWith("{\"bitmap\": \"chequer\"}", "{\"bitmap\": \"plaid\"}")
                                       << "template.json shape 'box' layer 0: no image named 'plaid'";
        QTest::newRow("truncated image") << "chequer.png" << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10)
                                         << "template.json image 'chequer': ";
        QTest::newRow("clip inside itself") << "template.json" << manifestWith("\"symbol\": \"box\"", "\"symbol\": \"holder\"")
                                            << "template.json clip 'holder' frame 1: symbol 'holder' contains itself";
        QTest::newRow("mask below its depth") << "template.json" << manifestWith("\"name\": \"h\"", "\"mask\": 1")
                                              << "template.json frame 1: \"mask\" is the highest depth masked and must be above the mask's own depth";
        QTest::newRow("unknown blend") << "template.json" << manifestWith("\"name\": \"h\"", "\"blend\": \"glow\"")
                                       << "template.json frame 1: unknown blend mode 'glow'";
        QTest::newRow("script syntax error") << "main.as" << QByteArray("stop();\ntrace(1") << "main.as:2:8: expected ')' but found end of script";
        QTest::newRow("missing script") << "template.json" << manifestWith("main.as", "other.as")
                                        << "template.json frame 1 script: cannot read script 'other.as'";
    }

    void mistakesAreReported()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QString, error);
        const TemplateBuildResult result = buildTemplate(templateFolder(file, content).path());
        QVERIFY(!result.ok());
        QVERIFY(result.movie.isEmpty());
        QVERIFY2(result.error.startsWith(error), qPrintable(result.error));
    }

    void failedBuildLeavesNoOutput()
    {
        const QString tool = QStringLiteral(SKRV_BIN_DIR "/skrv-build");
        const QDir folder = templateFolder("main.as", "trace(");
        const QString output = folder.filePath("out.skrv");
        QProcess build;
        build.start(tool, {folder.path(), "-o", output});
        QVERIFY(build.waitForFinished(30000));
        QCOMPARE(build.exitCode(), 1);
        QVERIFY(build.readAllStandardError().startsWith("skrv-build: main.as:1:7: "));
        QVERIFY(!QFile::exists(output));
    }
};

QTEST_GUILESS_MAIN(TemplateBuilderTest)
#include "tst_template_builder.moc"
