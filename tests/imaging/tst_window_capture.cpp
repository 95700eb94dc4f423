// Capture reads back what the screen shows in a window's rectangle.
#include "imaging/WindowCapture.h"

#include <QPainter>
#include <QRasterWindow>
#include <QtTest>

namespace {

class ColourWindow : public QRasterWindow {
public:
    explicit ColourWindow(const QColor& colour)
        : m_colour(colour)
    {
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(QRect(QPoint(0, 0), size()), m_colour);
        painter.fillRect(QRect(10, 10, 5, 5), Qt::white);
    }

private:
    QColor m_colour;
};

} // namespace

class WindowCaptureTest : public QObject {
    Q_OBJECT

private slots:
    void capturesWhatTheScreenShows()
    {
        QVERIFY(imaging::canCaptureScreen()); // the tests run on the offscreen platform
        ColourWindow window(QColor(0, 128, 0));
        window.setGeometry(100, 80, 60, 40);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const QImage whole = imaging::captureWindow(window);
        QCOMPARE(whole.size(), window.frameGeometry().size());
        const QImage area = imaging::captureWindowPart(window, true, QRect(8, 8, 10, 10));
        QCOMPARE(area.size(), QSize(10, 10));
        QCOMPARE(QColor(area.pixel(0, 0)), QColor(0, 128, 0));
        QCOMPARE(QColor(area.pixel(3, 3)), QColor(Qt::white));
        QVERIFY(imaging::captureScreenArea(QRect()).isNull());
    }
};

QTEST_MAIN(WindowCaptureTest)
#include "tst_window_capture.moc"
