// The gradient window driven through its controls: settings, direction and snapping, the
// colour picker, "Randomize", "Apply To..." and hiding; and its place in the main window.
#include "app/MainWindow.h"
#include "platform/ColorDialog.h"
#include "platform/Settings.h"
#include "tools/ColourPicker.h"
#include "tools/GradientWindow.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using tools::ColourReference;
using tools::GradientWindow;

namespace {

const QString Section = QStringLiteral("Gradient Settings");
constexpr ColourReference White = 0xFFFFFF;

QString setting(const char* key)
{
    return platform::getSetting(Section, QString::fromLatin1(key));
}

void saveSettings(ColourReference first, ColourReference second, int angle)
{
    platform::saveSetting(Section, QStringLiteral("Colour 0"), QString::number(first));
    platform::saveSetting(Section, QStringLiteral("Colour 1"), QString::number(second));
    platform::saveSetting(Section, QStringLiteral("Angle"), QString::number(angle));
}

// The mean grey of one edge of a black-to-white picture.
int edgeGrey(const QImage& picture, Qt::Edge edge)
{
    int sum = 0;
    for (int i = 0; i < picture.width(); ++i) {
        const QPoint at = edge == Qt::LeftEdge     ? QPoint(0, i)
                          : edge == Qt::RightEdge  ? QPoint(picture.width() - 1, i)
                          : edge == Qt::TopEdge    ? QPoint(i, 0)
                                                   : QPoint(i, picture.height() - 1);
        sum += qGray(picture.pixel(at));
    }
    return sum / picture.width();
}

// A drag of the slider's thumb that ends at a value.
void dragTo(QScrollBar* slider, int value)
{
    slider->setSliderDown(true);
    slider->setSliderPosition(value);
    slider->setSliderDown(false);
}

class RecordingWindow : public app::MainWindow {
public:
    using MainWindow::MainWindow;
    void applyGradientTexture(const QImage& picture) override { applied.append(picture); }
    QList<QImage> applied;
};

} // namespace

class GradientWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.path()));
    }

    void init()
    {
        QFile::remove(platform::settingsFilePath());
        tools::ColourPicker::instance().reload();
    }

    void cleanup() { platform::setColorDialogHandler({}); }

    // A first run has no settings: both colours black (not the model's own colours), direction
    // 0, a plain black preview, and the three settings written.
    void firstRun()
    {
        GradientWindow window;
        QCOMPARE(window.gradient().colour1(), 0);
        QCOMPARE(window.gradient().colour2(), 0);
        QCOMPARE(window.directionSlider()->value(), 0);
        QCOMPARE(window.gradient().angle(), 0.0f);
        const QImage preview = window.preview()->pixmap().toImage();
        QCOMPARE(preview.size(), window.preview()->contentsRect().size());
        for (const QImage& picture : {preview, window.committedPicture()}) {
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    QCOMPARE(picture.pixel(x, y), qRgb(0, 0, 0));
        }
        QCOMPARE(window.committedPicture().size(), QSize(256, 256));
        QCOMPARE(setting("Colour 0"), QStringLiteral("0"));
        QCOMPARE(setting("Colour 1"), QStringLiteral("0"));
        QCOMPARE(setting("Angle"), QStringLiteral("0"));
    }

    // The slider turns the gradient clockwise: the model's angle is 360 less the slider.
    void directionSlider_data()
    {
        QTest::addColumn<int>("slider");
        QTest::addColumn<float>("angle");
        QTest::addColumn<Qt::Edge>("firstColourEdge");
        QTest::newRow("0") << 0 << 0.0f << Qt::LeftEdge;
        QTest::newRow("90") << 90 << 270.0f << Qt::TopEdge;
        QTest::newRow("180") << 180 << 180.0f << Qt::RightEdge;
        QTest::newRow("270") << 270 << 90.0f << Qt::BottomEdge;
        QTest::newRow("360 as 0") << 360 << 0.0f << Qt::LeftEdge;
    }

    void directionSlider()
    {
        QFETCH(int, slider);
        QFETCH(float, angle);
        QFETCH(Qt::Edge, firstColourEdge);
        saveSettings(0, White, 45);
        GradientWindow window;
        QCOMPARE(window.directionSlider()->value(), 45);
        window.directionSlider()->setValue(slider);
        QCOMPARE(window.gradient().angle(), angle);
        QCOMPARE(setting("Angle"), QString::number(slider));
        const QImage& picture = window.committedPicture();
        QVERIFY(edgeGrey(picture, firstColourEdge) < 3);
        const Qt::Edge opposite = firstColourEdge == Qt::LeftEdge    ? Qt::RightEdge
                                  : firstColourEdge == Qt::RightEdge ? Qt::LeftEdge
                                  : firstColourEdge == Qt::TopEdge   ? Qt::BottomEdge
                                                                     : Qt::TopEdge;
        QVERIFY(edgeGrey(picture, opposite) > 248);
        QCOMPARE(window.canvas(), picture);
    }

    // With "Snap To Common" a drag that ends between multiples of 45 ends on the nearest one,
    // which is what is saved.
    void snapping_data()
    {
        QTest::addColumn<int>("released");
        QTest::addColumn<int>("snapped");
        QTest::newRow("22") << 22 << 0;
        QTest::newRow("23") << 23 << 45;
        QTest::newRow("100") << 100 << 90;
        QTest::newRow("337") << 337 << 315;
        QTest::newRow("338") << 338 << 360;
    }

    void snapping()
    {
        QFETCH(int, released);
        QFETCH(int, snapped);
        GradientWindow window;
        window.snapToCommonBox()->click();
        dragTo(window.directionSlider(), released);
        QCOMPARE(window.directionSlider()->value(), snapped);
        QCOMPARE(setting("Angle"), QString::number(snapped));
        QCOMPARE(window.gradient().angle(), float((360 - snapped) % 360));
    }

    // Checking the box snaps the slider at once and makes it move by 45; unchecking gives 1.
    void snapBoxSnapsAtOnce()
    {
        saveSettings(0, White, 100);
        GradientWindow window;
        QScrollBar* slider = window.directionSlider();
        QCOMPARE(slider->value(), 100);
        window.snapToCommonBox()->click();
        QCOMPARE(slider->value(), 90);
        QCOMPARE(setting("Angle"), QStringLiteral("90"));
        QCOMPARE(slider->singleStep(), 45);
        QCOMPARE(slider->pageStep(), 45);
        slider->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(slider->value(), 135);
        window.snapToCommonBox()->click();
        QCOMPARE(slider->singleStep(), 1);
        QCOMPARE(slider->pageStep(), 1);
    }

    // While the thumb is dragged the preview follows, but only where the drag ends is the
    // picture committed and saved; "Apply To..." hands on the committed picture.
    void dragPaintsAndReleaseCommits()
    {
        saveSettings(0, White, 0);
        GradientWindow window;
        QSignalSpy applied(&window, &GradientWindow::applyToRequested);
        const QImage atZero = window.committedPicture();
        QScrollBar* slider = window.directionSlider();
        slider->setSliderDown(true);
        slider->setSliderPosition(90);
        QCOMPARE(window.gradient().angle(), 270.0f);
        QVERIFY(edgeGrey(window.preview()->pixmap().toImage(), Qt::TopEdge) < 3);
        QCOMPARE(window.committedPicture(), atZero);
        QCOMPARE(setting("Angle"), QStringLiteral("0"));
        QTest::mouseClick(window.applyToButton(), Qt::LeftButton);
        slider->setSliderDown(false);
        QCOMPARE(setting("Angle"), QStringLiteral("90"));
        QTest::mouseClick(window.applyToButton(), Qt::LeftButton);

        QCOMPARE(applied.count(), 2);
        QCOMPARE(applied.at(0).at(0).value<QImage>(), atZero);
        const QImage atNinety = applied.at(1).at(0).value<QImage>();
        QCOMPARE(atNinety, window.committedPicture());
        QCOMPARE(atNinety.size(), QSize(256, 256));
        QVERIFY(edgeGrey(atNinety, Qt::TopEdge) < 3);
    }

    // The picker's answer replaces the colour; a cancelled picker keeps it. Either way the
    // gradient is committed and the three settings written again.
    void colourButtons_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<ColourReference>("first");
        QTest::addColumn<ColourReference>("second");
        QTest::newRow("first, chosen") << 0 << true << ColourReference(0x563412) << White;
        QTest::newRow("first, cancelled") << 0 << false << ColourReference(0x0000FF) << White;
        QTest::newRow("second, chosen") << 1 << true << ColourReference(0x0000FF) << ColourReference(0x563412);
        QTest::newRow("second, cancelled") << 1 << false << ColourReference(0x0000FF) << White;
    }

    void colourButtons()
    {
        QFETCH(int, button);
        QFETCH(bool, confirmed);
        QFETCH(ColourReference, first);
        QFETCH(ColourReference, second);
        saveSettings(0x0000FF, White, 0);
        GradientWindow window;
        for (const char* key : {"Colour 0", "Colour 1", "Angle"})
            platform::saveSetting(Section, QString::fromLatin1(key), QStringLiteral("stale"));
        QColor initial;
        platform::setColorDialogHandler([&](platform::ColorDialogRequest& request) -> std::optional<QColor> {
            initial = request.initialColour;
            return confirmed ? std::optional<QColor>(QColor(0x12, 0x34, 0x56)) : std::nullopt;
        });
        QTest::mouseClick(button == 0 ? window.firstColourButton() : window.secondColourButton(), Qt::LeftButton);
        QCOMPARE(initial, button == 0 ? QColor(255, 0, 0) : QColor(255, 255, 255));
        QCOMPARE(window.gradient().colour1(), first);
        QCOMPARE(window.gradient().colour2(), second);
        QCOMPARE(setting("Colour 0"), QString::number(first));
        QCOMPARE(setting("Colour 1"), QString::number(second));
        QCOMPARE(setting("Angle"), QStringLiteral("0"));
        // The first line of the committed picture, its left column, has the first colour.
        QCOMPARE(window.committedPicture().pixel(0, 128), tools::toColour(first).rgb());
    }

    // "Randomize": any 24-bit colours and a direction 0 to 360. A new direction commits and
    // saves; the same direction paints the new colours but neither commits nor saves them.
    void randomize_data()
    {
        QTest::addColumn<int>("startAngle");
        QTest::addColumn<bool>("committed");
        QTest::newRow("new direction") << 10 << true;
        QTest::newRow("same direction") << 180 << false;
    }

    void randomize()
    {
        QFETCH(int, startAngle);
        QFETCH(bool, committed);
        saveSettings(0, White, startAngle);
        GradientWindow window;
        const QImage before = window.committedPicture();
        QList<double> numbers{0.5, 0.25, 0.5};
        window.setRandomSource([&numbers] { return numbers.takeFirst(); });
        QTest::mouseClick(window.randomizeButton(), Qt::LeftButton);
        QVERIFY(numbers.isEmpty());
        // 0.5 x 16777215 is 8388607.5, which goes to the even 8388608.
        QCOMPARE(window.gradient().colour1(), 8388608);
        QCOMPARE(window.gradient().colour2(), 4194304);
        QCOMPARE(window.directionSlider()->value(), 180);
        QCOMPARE(window.canvas().pixel(255, 128), tools::toColour(8388608).rgb());
        QCOMPARE(window.committedPicture() == window.canvas(), committed);
        QCOMPARE(window.committedPicture() == before, !committed);
        QCOMPARE(setting("Colour 0"), committed ? QStringLiteral("8388608") : QStringLiteral("0"));
        QCOMPARE(setting("Angle"), QStringLiteral("180"));
    }

    // OK, Escape and the close box only hide the window; it keeps its state.
    void closingHides()
    {
        GradientWindow window;
        QPointer<GradientWindow> alive(&window);
        const auto showAgain = [&] {
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
        };
        showAgain();
        window.directionSlider()->setValue(200);
        QTest::mouseClick(window.okButton(), Qt::LeftButton);
        QVERIFY(window.isHidden());
        showAgain();
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(window.isHidden());
        showAgain();
        QVERIFY(!window.close());
        QVERIFY(window.isHidden());
        QVERIFY(alive);
        QCOMPARE(window.directionSlider()->value(), 200);
    }

    // The controls' places, given in twips, at 15 twips a pixel.
    void controlPlaces()
    {
        GradientWindow window;
        QCOMPARE(window.size(), QSize(297, 201));
        QCOMPARE(window.preview()->geometry(), QRect(8, 8, 161, 161));
        QCOMPARE(window.directionSlider()->geometry(), QRect(8, 176, 161, 17));
        QCOMPARE(window.okButton()->geometry(), QRect(176, 8, 113, 25));
        QCOMPARE(window.applyToButton()->geometry(), QRect(176, 40, 113, 25));
        QCOMPARE(window.firstColourButton()->geometry(), QRect(176, 72, 113, 25));
        QCOMPARE(window.secondColourButton()->geometry(), QRect(176, 104, 113, 25));
        QCOMPARE(window.snapToCommonBox()->geometry(), QRect(176, 136, 113, 25));
        QCOMPARE(window.randomizeButton()->geometry(), QRect(176, 168, 113, 25));
        QVERIFY(window.okButton()->isDefault());
        QCOMPARE(window.windowTitle(), QStringLiteral("Gradient..."));
    }

    // "Gradient..." of the main window shows the one gradient window as a tool window; its
    // "Apply To..." reaches the main window with the committed picture.
    void mainWindowShowsTheOneWindow()
    {
        QTemporaryDir program;
        app::StartupContext context;
        context.programFolder = program.path();
        context.executableName = QStringLiteral("tst_gradient_window");
        RecordingWindow main(context);
        main.show();
        QVERIFY(!main.gradientWindow());
        QTest::mouseClick(main.gradientButton(), Qt::LeftButton);
        GradientWindow* window = main.gradientWindow();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QVERIFY(main.isMainWindowDisabled());
        QTest::mouseClick(window->applyToButton(), Qt::LeftButton);
        QCOMPARE(main.applied.size(), 1);
        QCOMPARE(main.applied.first(), window->committedPicture());
        QTest::mouseClick(window->okButton(), Qt::LeftButton);
        QTRY_VERIFY(!main.isMainWindowDisabled());
        QTest::mouseClick(main.gradientButton(), Qt::LeftButton);
        QCOMPARE(main.gradientWindow(), window);
        QVERIFY(window->isVisible());
        window->hide();
        main.hide();
    }

private:
    QTemporaryDir m_home;
};

QTEST_MAIN(GradientWindowTest)
#include "tst_gradient_window.moc"
