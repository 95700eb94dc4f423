// The effects window against the real effects overlay and a sample template: what it reads
// back, what its sliders and "Reset" send, what the main window's "Effects..." does, and what
// the effects do to the sheet.
#include "app/MainWindow.h"
#include "platform/ScriptedMessages.h"
#include "platform/Settings.h"
#include "player/MoviePlayer.h"
#include "player/Player.h"
#include "tools/EffectsWindow.h"
#include "tools/NumberText.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

using tools::Effect;
using tools::EffectsWindow;
namespace targets = tools::effectTargets;

namespace {

const QString BinFolder = QStringLiteral(SKRV_BIN_DIR);

// The smallest movie: version 6, an empty stage, one frame.
const QByteArray EmptyMovie("FWS\x06\x11\x00\x00\x00\x00\x00\x0c\x01\x00\x40\x00\x00\x00", 17);

std::unique_ptr<player::MoviePlayer> chairWithOverlay(bool withOverlay = true)
{
    auto movie = std::make_unique<player::MoviePlayer>();
    movie->resize(256, 256);
    movie->loadMovie(0, BinFolder + QStringLiteral("/Chair.skrv"));
    if (withOverlay)
        movie->loadMovie(100, BinFolder + QStringLiteral("/Effects.swf"));
    return movie;
}

// The sheet as it is saved, drawn by the player at the sheet's size after the next frame (the
// overlay applies blurs on frames).
QImage sheetOf(player::MoviePlayer& movie)
{
    movie.engine().advanceFrame();
    return movie.renderStage(movie.size()).convertToFormat(QImage::Format_RGB32);
}

double meanGrey(const QImage& picture)
{
    double sum = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            sum += qGray(picture.pixel(x, y));
    return sum / (picture.width() * picture.height());
}

// How sharp the picture's edges are: the mean difference between neighbouring pixels.
double edgeContrast(const QImage& picture)
{
    double sum = 0;
    for (int y = 0; y + 1 < picture.height(); ++y) {
        for (int x = 0; x + 1 < picture.width(); ++x) {
            const int here = qGray(picture.pixel(x, y));
            sum += std::abs(here - qGray(picture.pixel(x + 1, y))) + std::abs(here - qGray(picture.pixel(x, y + 1)));
        }
    }
    return sum / (picture.width() * picture.height());
}

QList<int> sliderValues(const EffectsWindow& window)
{
    QList<int> values;
    for (const Effect effect : tools::AllEffects)
        values.append(window.slider(effect)->value());
    return values;
}

QList<bool> sliderStates(const EffectsWindow& window)
{
    QList<bool> enabled;
    for (const Effect effect : tools::AllEffects)
        enabled.append(window.slider(effect)->isEnabled());
    return enabled;
}

} // namespace

class EffectsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("data"))));
        QVERIFY2(QFile::exists(BinFolder + QStringLiteral("/Effects.swf")), "the build makes Effects.swf");
    }

    // The sliders show what the movie shows; an effect the movie does not offer, or offers
    // with a value the slider cannot hold, leaves its slider disabled at its neutral value.
    // Blur shading goes with shading.
    void readBack_data()
    {
        QTest::addColumn<bool>("overlay");
        QTest::addColumn<int>("addFrame");
        QTest::addColumn<int>("subtractFrame");
        QTest::addColumn<int>("differenceFrame");
        QTest::addColumn<QString>("shading");
        QTest::addColumn<QString>("blurShading");
        QTest::addColumn<QString>("blur");
        QTest::addColumn<QList<int>>("values");
        QTest::addColumn<QList<bool>>("enabled");
        const QList<bool> all{true, true, true, true, true};
        QTest::newRow("as loaded") << true << 0 << 0 << 0 << "" << "" << "" << QList<int>{0, 0, 100, 0, 0} << all;
        QTest::newRow("add 30") << true << 30 << 0 << 12 << "40" << "25" << "60" << QList<int>{30, 12, 40, 25, 60}
                                << all;
        QTest::newRow("subtract 12") << true << 0 << 12 << 0 << "" << "" << "" << QList<int>{-12, 0, 100, 0, 0} << all;
        QTest::newRow("shading out of range") << true << 0 << 0 << 0 << "250" << "25" << ""
                                              << QList<int>{0, 0, 100, 25, 0}
                                              << QList<bool>{true, true, false, false, true};
        QTest::newRow("blur no number") << true << 0 << 0 << 0 << "" << "" << "soft" << QList<int>{0, 0, 100, 0, 0}
                                        << QList<bool>{true, true, true, true, false};
        QTest::newRow("blur fraction, half to even") << true << 0 << 0 << 0 << "" << "48.5" << " 7.6 "
                                                     << QList<int>{0, 0, 100, 48, 8} << all;
        QTest::newRow("no overlay: only shading") << false << 0 << 0 << 0 << "" << "" << ""
                                                  << QList<int>{0, 0, 100, 0, 0}
                                                  << QList<bool>{false, false, true, false, false};
    }

    void readBack()
    {
        QFETCH(bool, overlay);
        QFETCH(int, addFrame);
        QFETCH(int, subtractFrame);
        QFETCH(int, differenceFrame);
        QFETCH(QString, shading);
        QFETCH(QString, blurShading);
        QFETCH(QString, blur);
        QFETCH(QList<int>, values);
        QFETCH(QList<bool>, enabled);
        auto movie = chairWithOverlay(overlay);
        if (overlay) {
            QVERIFY(movie->gotoFrameOf(targets::Add, addFrame));
            QVERIFY(movie->gotoFrameOf(targets::Subtract, subtractFrame));
            QVERIFY(movie->gotoFrameOf(targets::Difference, differenceFrame));
        }
        if (!shading.isEmpty())
            movie->setVariable(targets::Shading, shading);
        if (!blurShading.isEmpty())
            movie->setVariable(targets::BlurShading, blurShading);
        if (!blur.isEmpty())
            movie->setVariable(targets::Blur, blur);

        EffectsWindow window(movie.get());
        QVERIFY(window.readEffectState());
        QCOMPARE(sliderValues(window), values);
        QCOMPARE(sliderStates(window), enabled);
        if (overlay) {
            // What was read went straight back: the clips stand where the sliders say.
            const int addSubtract = values.first();
            QCOMPARE(movie->currentFrameOf(targets::Add), std::max(addSubtract, 0));
            QCOMPARE(movie->currentFrameOf(targets::Subtract), std::max(-addSubtract, 0));
        }
    }

    // Dragging the add and subtract slider from 5 to -3 sends every value on the way: the add
    // clip gets v and the subtract clip -v, which leaves it at its first frame while v > 0.
    void addSubtractDrag()
    {
        auto movie = chairWithOverlay();
        EffectsWindow window(movie.get());
        QVERIFY(window.readEffectState());
        QScrollBar* slider = window.slider(Effect::AddSubtract);
        slider->setValue(5);
        QCOMPARE(movie->currentFrameOf(targets::Add), 5);
        QList<QPair<int, int>> shown;
        connect(slider, &QScrollBar::valueChanged, this, [&] {
            shown.append({movie->currentFrameOf(targets::Add).value_or(-1),
                          movie->currentFrameOf(targets::Subtract).value_or(-1)});
        });
        slider->setSliderDown(true);
        for (int value = 4; value >= -3; --value)
            slider->setSliderPosition(value);
        slider->setSliderDown(false);
        QCOMPARE(shown, (QList<QPair<int, int>>{{4, 0}, {3, 0}, {2, 0}, {1, 0}, {0, 0}, {0, 1}, {0, 2}, {0, 3}}));
        // The overlay shows the strength: the subtract layer at 3% (in 256ths, 2.73).
        movie->engine().advanceFrame();
        const QString alpha = movie->variable(QStringLiteral("_level100.subtracteffect.layer._alpha")).value_or(QString());
        QCOMPARE(tools::wholeNumber(alpha), 3);
    }

    // "Reset" sends the neutral value of every slider that changes, and nothing for the others.
    void reset()
    {
        auto movie = chairWithOverlay();
        movie->setVariable(targets::Shading, QStringLiteral("40"));
        EffectsWindow window(movie.get());
        QVERIFY(window.readEffectState());
        QCOMPARE(window.slider(Effect::Shading)->value(), 40);
        window.slider(Effect::Difference)->setValue(7);
        QCOMPARE(movie->currentFrameOf(targets::Difference), 7);
        // Behind the window's back: a value the window does not know of stays as long as the
        // blur slider does not change.
        movie->setVariable(targets::Blur, QStringLiteral("33"));
        QTest::mouseClick(window.resetButton(), Qt::LeftButton);
        QCOMPARE(movie->variable(targets::Shading), QStringLiteral("100"));
        QCOMPARE(movie->currentFrameOf(targets::Difference), 0);
        QCOMPARE(movie->variable(targets::Blur), QStringLiteral("33"));
        QCOMPARE(sliderValues(window), (QList<int>{0, 0, 100, 0, 0}));

        movie->setVariable(targets::Shading, QStringLiteral("77"));
        QTest::mouseClick(window.resetButton(), Qt::LeftButton);
        // Alpha is kept in 256ths: 77 reads back as 76.953125.
        QCOMPARE(tools::wholeNumber(movie->variable(targets::Shading).value_or(QString())), 77);
    }

    // What each effect does to the saved sheet.
    void effectsShowOnTheSheet_data()
    {
        QTest::addColumn<Effect>("effect");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("brighter"); // +1 brighter, -1 darker, 0 not asked
        QTest::addColumn<bool>("softer");
        QTest::newRow("add") << Effect::AddSubtract << 60 << 1 << false;
        QTest::newRow("subtract") << Effect::AddSubtract << -60 << -1 << false;
        QTest::newRow("difference: nearly inverted") << Effect::Difference << 99 << 1 << false;
        QTest::newRow("no shading") << Effect::Shading << 0 << 1 << false;
        QTest::newRow("blur") << Effect::Blur << 100 << 0 << true;
    }

    void effectsShowOnTheSheet()
    {
        QFETCH(Effect, effect);
        QFETCH(int, value);
        QFETCH(int, brighter);
        QFETCH(bool, softer);
        auto movie = chairWithOverlay();
        EffectsWindow window(movie.get());
        QVERIFY(window.readEffectState());
        const QImage plain = sheetOf(*movie);
        window.slider(effect)->setValue(value);
        const QImage changed = sheetOf(*movie);
        if (brighter)
            QVERIFY2((meanGrey(changed) - meanGrey(plain)) * brighter > 5,
                     qPrintable(QStringLiteral("%1 -> %2").arg(meanGrey(plain)).arg(meanGrey(changed))));
        if (softer)
            QVERIFY2(edgeContrast(changed) < edgeContrast(plain) * 0.8,
                     qPrintable(QStringLiteral("%1 -> %2").arg(edgeContrast(plain)).arg(edgeContrast(changed))));
        QTest::mouseClick(window.resetButton(), Qt::LeftButton);
        QCOMPARE(sheetOf(*movie), plain);
    }

    // "Effects..." shows the window when the overlay offers an effect and answers "Failed to
    // work." when neither the overlay nor the template offers one.
    void effectsCommand_data()
    {
        QTest::addColumn<bool>("realMovies");
        QTest::newRow("chair with the overlay") << true;
        QTest::newRow("no targets") << false;
    }

    void effectsCommand()
    {
        QFETCH(bool, realMovies);
        QTemporaryDir empty;
        QTemporaryDir user;
        app::StartupContext context;
        context.executableName = QStringLiteral("tst_effects_window");
        context.userTemplateFolder = user.path();
        if (realMovies) {
            context.programFolder = BinFolder;
            platform::saveSetting(QStringLiteral("Last Time"), QStringLiteral("Template"), QStringLiteral("Chair.skrv"));
        } else {
            context.programFolder = empty.path();
            for (const char* name : {"plain.skrv", "Effects.swf"}) {
                QFile file(empty.filePath(QString::fromLatin1(name)));
                QVERIFY(file.open(QIODevice::WriteOnly));
                file.write(EmptyMovie);
            }
        }
        app::MainWindow main(context);
        main.start();
        main.show();
        platform::ScriptedMessages messages;
        QTest::mouseClick(main.effectsButton(), Qt::LeftButton);
        QPointer<EffectsWindow> window = main.findChild<EffectsWindow*>();
        if (!realMovies) {
            QCOMPARE(messages.count(), 1);
            QCOMPARE(messages.last().text, QStringLiteral("Failed to work."));
            QCOMPARE(messages.last().icon, platform::MessageIcon::Critical);
            QCOMPARE(messages.last().title, main.windowTitle());
            QVERIFY(!window);
            QVERIFY(!main.isMainWindowDisabled());
            return;
        }
        QCOMPARE(messages.count(), 0);
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QVERIFY(main.isMainWindowDisabled());
        QCOMPARE(sliderStates(*window), (QList<bool>{true, true, true, true, true}));
        window->slider(Effect::Blur)->setValue(20);
        QTest::mouseClick(window->okButton(), Qt::LeftButton);
        QTRY_VERIFY(!window);
        QTRY_VERIFY(!main.isMainWindowDisabled());
        // The movie keeps what was sent.
        QCOMPARE(main.moviePlayer()->variable(targets::Blur), QStringLiteral("20"));
        main.hide();
    }

private:
    QTemporaryDir m_home;
};

QTEST_MAIN(EffectsWindowTest)
#include "tst_effects_window.moc"
