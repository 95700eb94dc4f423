// The replace-colour dialog driven through its boxes and buttons: the boxes it builds, the
// selection, the live sentence, OK and Cancel.
#include "platform/Settings.h"
#include "tools/ColourPicker.h"
#include "tools/ReplaceColourDialog.h"
#include "tools/SelectionFrame.h"
#include "tools/TwipsGeometry.h"

#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using tools::ColourReference;
using tools::ReplaceColourDialog;

namespace {

const QString Section = QStringLiteral("Custom Colours");
constexpr ColourReference Picked = 0x3366CC;

QByteArray settingsBytes()
{
    QFile file(platform::settingsFilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

using Clicks = QList<QPair<int, Qt::MouseButton>>; // box, button

QColor shownColour(const QWidget* widget)
{
    return widget->palette().color(QPalette::Window);
}

} // namespace

class ReplaceColourDialogTest : public QObject {
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
        // Custom colour n is n * 0x010101 (a grey), except 3, which was never stored: it shows
        // system colour 3.
        for (int index = 0; index < 16; ++index) {
            if (index != 3)
                platform::saveSetting(Section, QStringLiteral("Colour %1").arg(index), QString::number(index * 0x010101));
        }
    }

    // Sixteen boxes in two rows of eight, 70 twips apart, box k showing custom colour k - 1;
    // the first is selected, with the frame around it.
    void boxesAtLoad()
    {
        ReplaceColourDialog dialog([] { return Picked; });
        QCOMPARE(dialog.size(), QSize(211, 113));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Replace Custom Colour..."));
        for (int box = 1; box <= 16; ++box) {
            const int column = (box - 1) % 8;
            const QRect expected = tools::pixelRectFromTwips(90 + 380 * column, box <= 8 ? 120 : 475, 310, 285, app::ScreenMetrics{});
            QCOMPARE(dialog.colourBox(box)->geometry(), expected);
            const QColor colour = box == 4 ? tools::toColour(tools::systemColour(3))
                                           : tools::toColour((box - 1) * 0x010101);
            QCOMPARE(shownColour(dialog.colourBox(box)), colour);
        }
        QCOMPARE(dialog.selectedBox(), 1);
        QCOMPARE(dialog.selectionFrame()->surroundedBox(), dialog.colourBox(1)->geometry());
        QCOMPARE(dialog.selectionFrame()->pos(), dialog.colourBox(1)->pos() - QPoint(8, 8));
        QCOMPARE(dialog.replaceLine()->text(), QStringLiteral("Replace           With          ."));
        QCOMPARE(shownColour(dialog.oldColourBox()), QColor(0, 0, 0));
        QCOMPARE(shownColour(dialog.newColourBox()), tools::toColour(Picked));
    }

    // A left click selects a box and the sentence follows; other buttons do nothing. OK
    // stores the picked colour as the selected box's custom colour; Cancel stores nothing.
    void chooseAndStore_data()
    {
        QTest::addColumn<Clicks>("clicks");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("selected");
        QTest::newRow("OK at once: custom colour 0") << Clicks{} << true << 1;
        QTest::newRow("box 16 and OK") << Clicks{{16, Qt::LeftButton}} << true << 16;
        QTest::newRow("right click moves nothing") << Clicks{{5, Qt::LeftButton}, {9, Qt::RightButton}} << true << 5;
        QTest::newRow("box 16 and Cancel") << Clicks{{16, Qt::LeftButton}} << false << 16;
    }

    void chooseAndStore()
    {
        QFETCH(Clicks, clicks);
        QFETCH(bool, ok);
        QFETCH(int, selected);
        ColourReference picked = Picked;
        QPointer<ReplaceColourDialog> dialog = new ReplaceColourDialog([&picked] { return picked; });
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        for (const auto& [box, button] : clicks)
            QTest::mouseClick(dialog->colourBox(box), button);
        QCOMPARE(dialog->selectedBox(), selected);
        QCOMPARE(dialog->selectionFrame()->surroundedBox(), dialog->colourBox(selected)->geometry());
        // The sentence follows the selection and the picked colour while the window is open.
        picked = 0x00FF00;
        QTRY_COMPARE(shownColour(dialog->newColourBox()), QColor(0, 255, 0));
        QCOMPARE(shownColour(dialog->oldColourBox()), shownColour(dialog->colourBox(selected)));

        const QByteArray before = settingsBytes();
        QTest::mouseClick(ok ? dialog->okButton() : dialog->cancelButton(), Qt::LeftButton);
        QTRY_VERIFY(!dialog); // closed and gone
        const QString key = QStringLiteral("Colour %1").arg(selected - 1);
        if (!ok) {
            QCOMPARE(settingsBytes(), before);
            return;
        }
        QCOMPARE(platform::getSetting(Section, key), QString::number(0x00FF00));
        QCOMPARE(tools::ColourPicker::instance().customColour(selected - 1), 0x00FF00);
        // All sixteen are written: the one never stored before too.
        QCOMPARE(platform::getSetting(Section, QStringLiteral("Colour 3")), QString::number(tools::systemColour(3)));
    }

    // Escape and the close box close without storing, like Cancel.
    void escapeIsCancel()
    {
        QPointer<ReplaceColourDialog> dialog = new ReplaceColourDialog([] { return Picked; });
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        const QByteArray before = settingsBytes();
        QTest::keyClick(dialog, Qt::Key_Escape);
        QTRY_VERIFY(!dialog);
        QCOMPARE(settingsBytes(), before);
    }

private:
    QTemporaryDir m_home;
};

QTEST_MAIN(ReplaceColourDialogTest)
#include "tst_replace_colour_dialog.moc"
