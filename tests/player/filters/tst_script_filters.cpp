#include "authoring/TemplateBuilder.h"
#include "player/Player.h"
#include "player/ScriptEngineFactory.h"
#include "player/render/DisplayRenderer.h"

#include <QTemporaryDir>
#include <QTest>

// Filters that scripts give clips reach the renderer: a black square from 30 to 70 on the
// white 100x100 stage, checked at chosen pixels.
class ScriptFiltersTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;

    QImage render(const QString& script)
    {
        const QString path = m_folder.filePath(QStringLiteral("script.as"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(script.toUtf8());
        file.close();
        const authoring::TemplateBuildResult built = authoring::buildScriptMovie(path);
        if (built.movie.isEmpty())
            return {};
        player::Player player;
        player.setScriptHost(player::makeScriptHost(player));
        if (player.loadMovieData(0, built.movie, QStringLiteral("file:///test.swf")))
            return {};
        player::render::DisplayRenderer renderer;
        renderer.setHighQuality(false);
        return renderer.renderStageImage(player.stage(), QSize(100, 100), player::ScaleMode::ExactFit).convertToFormat(QImage::Format_RGB32);
    }

private slots:
    void filteredPixels_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("grey"); // the red channel of the pixel; the square is black
        const QString square = QStringLiteral("createEmptyMovieClip('a', 1); a.beginFill(0);"
                                              "a.moveTo(30, 30); a.lineTo(70, 30); a.lineTo(70, 70); a.lineTo(30, 70); a.lineTo(30, 30); a.endFill();");
        const QString blur = square + "a.filters = [new flash.filters.BlurFilter(9, 9, 1)];";
        QTest::newRow("no filter: sharp edge") << square << QPoint(29, 50) << 255;
        // A box of nine centred on the edge pixel sees five pixels of the square.
        QTest::newRow("blur: edge pixel") << blur << QPoint(30, 50) << 255 - 5 * 255 / 9;
        QTest::newRow("blur: just outside") << blur << QPoint(29, 50) << 255 - 4 * 255 / 9;
        QTest::newRow("blur: beyond its reach") << blur << QPoint(25, 50) << 255;
        QTest::newRow("blur: middle stays black") << blur << QPoint(50, 50) << 0;
        QTest::newRow("changing the filter object afterwards does nothing")
            << blur + "a.filters[0].blurX = 0; var f = a.filters; f[0].blurX = 0;" << QPoint(29, 50) << 255 - 4 * 255 / 9;
        QTest::newRow("an empty list takes the filters away") << blur + "a.filters = [];" << QPoint(29, 50) << 255;
        QTest::newRow("drop shadow to the right")
            << square + "a.filters = [new flash.filters.DropShadowFilter(10, 0, 0, 1, 0, 0)];" << QPoint(75, 50) << 0;
        QTest::newRow("drop shadow ends at its distance")
            << square + "a.filters = [new flash.filters.DropShadowFilter(10, 0, 0, 1, 0, 0)];" << QPoint(81, 50) << 255;
        // Values a file cannot hold must not upset the renderer.
        QTest::newRow("NaN angle and distance draw no offset")
            << square + "var d = new flash.filters.DropShadowFilter(NaN, NaN, 0xFFFFFF, 1, 0, 0); a.filters = [d];" << QPoint(50, 50) << 0;
        // A blue highlight lit from the top left: an outer bevel shows it just left of the square,
        // an inner one does not.
        QTest::newRow("outer bevel lies beside the object")
            << square + "a.filters = [new flash.filters.BevelFilter(4, 45, 0xFF, 1, 0xFF, 1, 0, 0, 1, 1, 'outer')];" << QPoint(28, 50) << 0;
        QTest::newRow("inner bevel stays on the object")
            << square + "a.filters = [new flash.filters.BevelFilter(4, 45, 0xFF, 1, 0xFF, 1, 0, 0, 1, 1, 'inner')];" << QPoint(28, 50) << 255;
        QTest::newRow("hideObject leaves only the shadow")
            << square + "a.filters = [new flash.filters.DropShadowFilter(10, 0, 0xFFFFFF, 1, 0, 0, 1, 1, false, false, true)];"
            << QPoint(35, 50) << 255;
    }
    void filteredPixels()
    {
        QFETCH(QString, script);
        QFETCH(QPoint, point);
        QFETCH(int, grey);
        const QImage image = render(script);
        QVERIFY(!image.isNull());
        QVERIFY2(std::abs(qRed(image.pixel(point)) - grey) <= 3,
                 qPrintable(QStringLiteral("got %1, expected %2").arg(qRed(image.pixel(point))).arg(grey)));
    }
};

QTEST_GUILESS_MAIN(ScriptFiltersTest)
#include "tst_script_filters.moc"
