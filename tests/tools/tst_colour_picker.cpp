// The one colour picker of the program: its sixteen custom colours in the settings, the
// dialog's request and answer, and the system colour table.
#include "platform/ColorDialog.h"
#include "platform/Settings.h"
#include "tools/ColourPicker.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace tools;

namespace {

QString customSetting(int index)
{
    return platform::getSetting(QStringLiteral("Custom Colours"), QStringLiteral("Colour %1").arg(index));
}

} // namespace

class ColourPickerTest : public QObject {
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
        ColourPicker::instance().reload();
    }

    void cleanup() { platform::setColorDialogHandler({}); }

    void systemColourReferences()
    {
        QCOMPARE(systemColour(5), 0xFFFFFF);  // window
        QCOMPARE(systemColour(1), 0xA56E3A);  // desktop, blue in the high byte
        QCOMPARE(systemColour(25), 0);
        QCOMPARE(resolveSystemColour(ColourReference(0x80000005u)), 0xFFFFFF);
        // Index 25 is no system colour: the value stays as it is, negative.
        QCOMPARE(resolveSystemColour(ColourReference(0x80000019u)), ColourReference(0x80000019u));
        QCOMPARE(resolveSystemColour(0x123456), 0x123456);
        QCOMPARE(toColour(0x0000FF), QColor(255, 0, 0));
        QCOMPARE(toColourReference(QColor(1, 2, 3)), 0x030201);
    }

    // Until the user stores one, custom colour n is system colour n; the dialog shows them and
    // the caller's colour, and the set is saved as the dialog left it even when it is cancelled.
    void firstRunAndCancelledDialog()
    {
        ColourPicker& picker = ColourPicker::instance();
        QCOMPARE(picker.customColour(15), systemColour(15));
        std::optional<platform::ColorDialogRequest> seen;
        platform::setColorDialogHandler([&](platform::ColorDialogRequest& request) -> std::optional<QColor> {
            seen = request;
            request.customColours[3] = qRgb(1, 2, 3);
            return std::nullopt;
        });
        QVERIFY(!picker.pickColour(0x00FF00));
        QCOMPARE(picker.selectedColour(), -1);
        QVERIFY(seen);
        QCOMPARE(seen->initialColour, QColor(0, 255, 0));
        for (int index = 0; index < 16; ++index)
            QCOMPARE(toColourReference(QColor::fromRgb(seen->customColours[index])), systemColour(index));
        for (int index = 0; index < 16; ++index)
            QCOMPARE(customSetting(index), QString::number(index == 3 ? 0x030201 : systemColour(index)));
    }

    void chosenColourAndCustomColours()
    {
        ColourPicker& picker = ColourPicker::instance();
        platform::setColorDialogHandler([](platform::ColorDialogRequest&) -> std::optional<QColor> {
            return QColor(0x12, 0x34, 0x56);
        });
        QCOMPARE(picker.pickColour(ColourReference(0x80000005u)), std::optional<ColourReference>(0x563412));
        QCOMPARE(picker.selectedColour(), 0x563412);

        picker.setCustomColour(15, 0x00FF00);
        QCOMPARE(customSetting(15), QStringLiteral("65280"));
        QCOMPARE(picker.customColour(15), 0x00FF00);
        picker.setCustomColour(16, 0x0000FF); // ignored, the set is still written
        QCOMPARE(picker.customColour(16), -1);
        QCOMPARE(picker.customColour(-1), -1);

        // The set is read once a run; a stored value is read as the integer it starts with.
        platform::saveSetting(QStringLiteral("Custom Colours"), QStringLiteral("Colour 2"), QStringLiteral(" 255xyz"));
        QCOMPARE(picker.customColour(2), systemColour(2));
        picker.reload();
        QCOMPARE(picker.customColour(2), 255);
        QCOMPARE(picker.customColour(15), 0x00FF00);
    }

private:
    QTemporaryDir m_home;
};

QTEST_MAIN(ColourPickerTest)
#include "tst_colour_picker.moc"
