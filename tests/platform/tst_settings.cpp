#include "platform/Settings.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace platform;

class SettingsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void roundTrip_data();
    void roundTrip();
    void absentKeysGiveTheDefault();
    void storeIsAPlainIniFileInTheConfigFolder();
    void overwriteKeepsOtherKeys();
    void followsConfigFolderChangedAtRunTime();
    void unwritableFolderIsReportedNotFatal();

private:
    QTemporaryDir m_configHome;
};

void SettingsTest::initTestCase()
{
    QVERIFY(m_configHome.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_configHome.path()));
    QCOMPARE(applicationName(), QStringLiteral("tst_settings"));
}

void SettingsTest::roundTrip_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << "Last Time" << "Template" << "Sports Car.skrv";
    QTest::newRow("key with blanks") << "Last Time" << "Show Eyedropper Tool" << "True";
    QTest::newRow("colour key") << "Custom Colours" << "Colour 15" << "16777215";
    QTest::newRow("negative number") << "Gradient Settings" << "Angle" << "-45";
    QTest::newRow("slash in key") << "Odd Names" << "a/b" << "slash";
    QTest::newRow("backslash in key") << "Odd Names" << "a\\b" << "backslash";
    QTest::newRow("percent in key") << "Odd Names" << "100%2F" << "percent";
    QTest::newRow("slash in section") << "Odd/Names" << "a" << "section slash";
    QTest::newRow("comma in value") << "Values" << "List" << "1, 2, 3";
    QTest::newRow("quotes and blanks") << "Values" << "Quoted" << "  \"say\" ;x=1  ";
    QTest::newRow("at sign") << "Values" << "At" << "@Invalid()";
    QTest::newRow("empty value") << "Values" << "Empty" << "";
    QTest::newRow("not ascii") << "Größe" << "Fahrräder" << "Ærø ✓";
    QTest::newRow("line break") << "Values" << "Lines" << "one\ntwo";
}

void SettingsTest::roundTrip()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QVERIFY(saveSetting(section, key, value));
    QCOMPARE(getSetting(section, key, QStringLiteral("absent")), value);
}

void SettingsTest::absentKeysGiveTheDefault()
{
    QCOMPARE(getSetting("Never Written", "Colour 3", "42"), QStringLiteral("42"));
    QVERIFY(saveSetting("Custom Colours", "Colour 1", "7"));
    QCOMPARE(getSetting("Custom Colours", "Colour 2", "-1"), QStringLiteral("-1"));
    // "Colour 1" is not a prefix match for "Colour 10" or the other way round.
    QCOMPARE(getSetting("Custom Colours", "Colour 10", "none"), QStringLiteral("none"));
    // A slash is part of the name, not a step into another section.
    QVERIFY(saveSetting("Odd", "x/y", "slashed"));
    QCOMPARE(getSetting("Odd/x", "y", "none"), QStringLiteral("none"));
    QCOMPARE(getSetting("Odd", "x\\y", "none"), QStringLiteral("none"));
    QCOMPARE(getSetting("Custom Colours", "Colour 1"), QStringLiteral("7"));
}

void SettingsTest::storeIsAPlainIniFileInTheConfigFolder()
{
    QVERIFY(saveSetting("Last Time", "Show Eyedropper Tool", "1"));
    const QString expected = m_configHome.filePath("tst_settings.ini");
    QCOMPARE(settingsFilePath(), expected);
    QVERIFY(QFile::exists(expected));

    // Anyone reading the file with QSettings sees the sections and keys under their own names.
    const QSettings fresh(expected, QSettings::IniFormat);
    QVERIFY(fresh.childGroups().contains("Last Time"));
    QCOMPARE(fresh.value("Last Time/Show Eyedropper Tool").toString(), QStringLiteral("1"));
}

void SettingsTest::overwriteKeepsOtherKeys()
{
    for (int index = 0; index < 16; ++index)
        QVERIFY(saveSetting("Custom Colours", QStringLiteral("Colour %1").arg(index), QString::number(index * 1000)));
    QVERIFY(saveSetting("Custom Colours", "Colour 4", "255"));
    for (int index = 0; index < 16; ++index) {
        const QString expected = index == 4 ? QStringLiteral("255") : QString::number(index * 1000);
        QCOMPARE(getSetting("Custom Colours", QStringLiteral("Colour %1").arg(index)), expected);
    }
}

void SettingsTest::followsConfigFolderChangedAtRunTime()
{
    QVERIFY(saveSetting("Last Time", "Part", "3"));
    QTemporaryDir other;
    QVERIFY(other.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(other.path()));
    QCOMPARE(getSetting("Last Time", "Part", "0"), QStringLiteral("0"));
    QVERIFY(saveSetting("Last Time", "Part", "5"));
    QVERIFY(QFile::exists(other.filePath("tst_settings.ini")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_configHome.path()));
    QCOMPARE(getSetting("Last Time", "Part", "0"), QStringLiteral("3"));
}

void SettingsTest::unwritableFolderIsReportedNotFatal()
{
    // A regular file where the configuration folder should be: no one, root included, can
    // create the settings file below it.
    QFile blocker(m_configHome.filePath("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocker.fileName() + "/config"));
    QVERIFY(!saveSetting("Last Time", "Part", "1"));
    QCOMPARE(getSetting("Last Time", "Part", "9"), QStringLiteral("9"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_configHome.path()));
}

QTEST_GUILESS_MAIN(SettingsTest)
#include "tst_settings.moc"
