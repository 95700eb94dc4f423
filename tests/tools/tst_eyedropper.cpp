// The eyedropper on a screen whose pixels can be read (X11, for example under xvfb-run): the
// bar follows the pointer while it is held, also outside the main window, and its release
// opens the replace-colour dialog with the colour picked.
#include "app/EyedropperBar.h"
#include "app/MainWindow.h"
#include "app/ScreenPixel.h"
#include "platform/Settings.h"
#include "player/MoviePlayer.h"
#include "tools/ColourPicker.h"
#include "tools/ReplaceColourDialog.h"

#include <QCursor>
#include <QFile>
#include <QFrame>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using tools::ReplaceColourDialog;

namespace {

const QString BinFolder = QStringLiteral(SKRV_BIN_DIR);

QColor shownColour(const QWidget* widget)
{
    return widget->palette().color(QPalette::Window);
}

} // namespace

class EyedropperTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!app::canReadWholeScreen())
            QSKIP("The eyedropper reads the screen: this needs an X11 display (run under xvfb-run with "
                  "QT_QPA_PLATFORM=xcb); this platform only lets the program read its own windows.");
        QVERIFY(m_home.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("data"))));
        platform::saveSetting(QStringLiteral("Last Time"), QStringLiteral("Template"), QStringLiteral("Chair.skrv"));
        platform::saveSetting(QStringLiteral("Last Time"), QStringLiteral("Show Eyedropper Tool"), QStringLiteral("1"));

        app::StartupContext context;
        context.programFolder = BinFolder;
        context.executableName = QStringLiteral("tst_eyedropper");
        context.userTemplateFolder = m_home.filePath(QStringLiteral("templates"));
        m_main = std::make_unique<app::MainWindow>(context);
        m_main->start();
        m_main->move(0, 0);
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));

        // Another window of known colour, away from the main window.
        m_other = std::make_unique<QWidget>();
        m_other->setAutoFillBackground(true);
        QPalette palette = m_other->palette();
        palette.setColor(QPalette::Window, QColor(200, 30, 60));
        m_other->setPalette(palette);
        m_other->setGeometry(m_main->frameGeometry().right() + 40, 40, 120, 80);
        m_other->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_other.get()));
        QTest::qWait(200);
    }

    void init() { tools::ColourPicker::instance().reload(); }

    // Pressed and released without moving, the bar reads its own pixel: its colour stays, and
    // the dialog opens with it as the new colour. Box 16 and OK store it as custom colour 15.
    void pressAndReleaseInPlace()
    {
        app::EyedropperBar* bar = m_main->eyedropperBar();
        const QPoint centre = bar->rect().center();
        QCursor::setPos(bar->mapToGlobal(centre));
        const QColor before = shownColour(bar);
        QTest::mousePress(bar, Qt::LeftButton, {}, centre);
        QTest::qWait(100);
        QCOMPARE(shownColour(bar), before);
        QTest::mouseRelease(bar, Qt::LeftButton, {}, centre);

        QPointer<ReplaceColourDialog> dialog = m_main->findChild<ReplaceColourDialog*>();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QVERIFY(m_main->isMainWindowDisabled());
        QTRY_COMPARE(shownColour(dialog->newColourBox()), before);
        QTest::mouseClick(dialog->colourBox(16), Qt::LeftButton);
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        QTRY_VERIFY(!dialog);
        QCOMPARE(platform::getSetting(QStringLiteral("Custom Colours"), QStringLiteral("Colour 15")),
                 QString::number(tools::toColourReference(before)));
        QTRY_VERIFY(!m_main->isMainWindowDisabled());
    }

    // While held, the bar shows the pixel under the pointer wherever it goes: over the movie,
    // over another window; released there, it keeps that colour. Cancel stores nothing.
    void dragAcrossTheScreen()
    {
        app::EyedropperBar* bar = m_main->eyedropperBar();
        player::MoviePlayer* movie = m_main->moviePlayer();
        const QPoint onMovie(movie->width() / 2, movie->height() / 4);
        const QColor movieColour = movie->grab(QRect(onMovie, QSize(1, 1))).toImage().pixelColor(0, 0);
        const QPoint centre = bar->rect().center();
        QCursor::setPos(bar->mapToGlobal(centre));
        QTest::mousePress(bar, Qt::LeftButton, {}, centre);
        QVERIFY(bar->isSampling());

        QCursor::setPos(movie->mapToGlobal(onMovie));
        QTRY_COMPARE(shownColour(bar), movieColour);
        QCursor::setPos(m_other->mapToGlobal(m_other->rect().center()));
        QTRY_COMPARE(shownColour(bar), QColor(200, 30, 60));
        QTest::mouseRelease(bar, Qt::LeftButton, {}, bar->mapFromGlobal(QCursor::pos()));
        QVERIFY(!bar->isSampling());

        QPointer<ReplaceColourDialog> dialog = m_main->findChild<ReplaceColourDialog*>();
        QVERIFY(dialog);
        QTRY_COMPARE(shownColour(dialog->newColourBox()), QColor(200, 30, 60));
        const QString before = platform::getSetting(QStringLiteral("Custom Colours"), QStringLiteral("Colour 0"));
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
        QTRY_VERIFY(!dialog);
        QCOMPARE(platform::getSetting(QStringLiteral("Custom Colours"), QStringLiteral("Colour 0")), before);
        QCOMPARE(shownColour(bar), QColor(200, 30, 60));
    }

    void cleanupTestCase()
    {
        m_other.reset();
        m_main.reset();
    }

private:
    QTemporaryDir m_home;
    std::unique_ptr<app::MainWindow> m_main;
    std::unique_ptr<QWidget> m_other;
};

QTEST_MAIN(EyedropperTest)
#include "tst_eyedropper.moc"
