#include "InputMovie.h"
#include "player/MoviePlayer.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The player widget passes the mouse and keys to its movie: clicks run button actions, the
// pointer becomes a hand over buttons, and a player without input ignores all of it.
class TestMoviePlayerWidget : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    QString m_moviePath;

    // The widget at the stage's size (400 x 300), so widget pixels are stage pixels.
    std::unique_ptr<player::MoviePlayer> shownPlayer()
    {
        auto widget = std::make_unique<player::MoviePlayer>();
        widget->resize(400, 300);
        widget->loadMovie(0, m_moviePath);
        widget->show();
        if (!QTest::qWaitForWindowExposed(widget.get()))
            return nullptr;
        return widget;
    }

    static void moveTo(QWidget& widget, QPoint position)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(position), widget.mapToGlobal(QPointF(position)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&widget, &move);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        m_moviePath = m_folder.filePath("buttons.swf");
        QFile file(m_moviePath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(input_test::inputMovie({{authoring::ButtonDefinition::OverDownToOverUp, "fscommand('clicked', 'button');"},
                                           {uint16_t('k' << 1), "fscommand('key', 'k');"}},
                                          "clip.onRelease = function() { fscommand('clicked', 'clip'); };"));
    }

    void clickRunsTheButtonAction()
    {
        auto widget = shownPlayer();
        QVERIFY(widget);
        QSignalSpy commands(widget.get(), &player::MoviePlayer::movieCommand);
        QTest::mouseClick(widget.get(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
        QCOMPARE(commands.count(), 1);
        QCOMPARE(commands.at(0).at(0).toString(), QString("clicked"));
        QCOMPARE(commands.at(0).at(1).toString(), QString("button"));
        QTest::mouseClick(widget.get(), Qt::LeftButton, Qt::NoModifier, QPoint(250, 100));
        QCOMPARE(commands.count(), 2);
        QCOMPARE(commands.at(1).at(1).toString(), QString("clip"));
        // Off everything, and with the other button: nothing.
        QTest::mouseClick(widget.get(), Qt::LeftButton, Qt::NoModifier, QPoint(390, 290));
        QTest::mouseClick(widget.get(), Qt::RightButton, Qt::NoModifier, QPoint(100, 100));
        QCOMPARE(commands.count(), 2);
    }

    void clickFollowsTheScaledStage()
    {
        auto widget = shownPlayer();
        QVERIFY(widget);
        // Stretched to twice the size, the button's square is at 100..300, 100..300.
        widget->resize(800, 600);
        QSignalSpy commands(widget.get(), &player::MoviePlayer::movieCommand);
        QTest::mouseClick(widget.get(), Qt::LeftButton, Qt::NoModifier, QPoint(120, 120));
        QCOMPARE(commands.count(), 1);
        QTest::mouseClick(widget.get(), Qt::LeftButton, Qt::NoModifier, QPoint(90, 120));
        QCOMPARE(commands.count(), 1);
    }

    void keysReachTheMovie()
    {
        auto widget = shownPlayer();
        QVERIFY(widget);
        QSignalSpy commands(widget.get(), &player::MoviePlayer::movieCommand);
        QTest::keyClick(widget.get(), Qt::Key_K);
        QCOMPARE(commands.count(), 1);
        QCOMPARE(commands.at(0).at(0).toString(), QString("key"));
    }

    void hiddenPlayerTakesNoInput()
    {
        auto widget = shownPlayer();
        QVERIFY(widget);
        widget->setInteractive(false);
        QSignalSpy commands(widget.get(), &player::MoviePlayer::movieCommand);
        moveTo(*widget, QPoint(100, 100));
        QTest::mouseClick(widget.get(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
        QTest::keyClick(widget.get(), Qt::Key_K);
        QCOMPARE(commands.count(), 0);
        QCOMPARE(widget->cursor().shape(), Qt::ArrowCursor);
        widget->setInteractive(true);
        QTest::mouseClick(widget.get(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
        QCOMPARE(commands.count(), 1);
    }

    void cursorIsAHandOverButtons()
    {
        auto widget = shownPlayer();
        QVERIFY(widget);
        moveTo(*widget, QPoint(100, 100));
        QCOMPARE(widget->cursor().shape(), Qt::PointingHandCursor);
        moveTo(*widget, QPoint(250, 100));
        QCOMPARE(widget->cursor().shape(), Qt::PointingHandCursor);
        moveTo(*widget, QPoint(390, 290));
        QCOMPARE(widget->cursor().shape(), Qt::ArrowCursor);
    }
};

QTEST_MAIN(TestMoviePlayerWidget)
#include "tst_movie_player_widget.moc"
