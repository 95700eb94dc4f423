#include "platform/DesktopRegistration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace platform;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

DesktopRegistration demoRegistration(const QString& executable)
{
    DesktopRegistration registration;
    registration.applicationId = QStringLiteral("demo");
    registration.name = QStringLiteral("Demo App");
    registration.comment = QStringLiteral("Makes demos\nfast");
    registration.executable = executable;
    registration.icon = QStringLiteral("demo");
    registration.categories = {QStringLiteral("Graphics")};
    registration.linkSchemes = {QStringLiteral("demotp")};
    registration.fileTypes = {{QStringLiteral("application/x-demofile"), QStringLiteral("Demo <Template> & co"),
                               QStringLiteral("*.demo")}};
    return registration;
}

// Runs the desktop's tools to the end, so that the test can look at what they did.
void runToCompletion(const QString& program, const QStringList& arguments)
{
    if (!QStandardPaths::findExecutable(program).isEmpty())
        QProcess::execute(program, arguments);
}

} // namespace

class DesktopRegistrationTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("HOME", m_home.path().toUtf8());
        qputenv("XDG_DATA_HOME", m_home.filePath(QStringLiteral("data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", m_home.filePath(QStringLiteral("config")).toUtf8());
        qunsetenv("DISPLAY");
        qunsetenv("WAYLAND_DISPLAY");
    }

    void execLine_data()
    {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain") << "/opt/skr/skarvelle2" << "\"/opt/skr/skarvelle2\" %u";
        QTest::newRow("blanks") << "/home/a b/skarvelle2" << "\"/home/a b/skarvelle2\" %u";
        QTest::newRow("reserved characters") << "/x/$HOME`id`/100%/skarvelle2"
                                             << "\"/x/\\\\$HOME\\\\`id\\\\`/100%%/skarvelle2\" %u";
        QTest::newRow("backslash") << "/x\\y/skarvelle2" << "\"/x\\\\\\\\y/skarvelle2\" %u";
    }

    void execLine()
    {
        QFETCH(QString, executable);
        QFETCH(QString, exec);
        QCOMPARE(desktopExecLine(executable), exec);
    }

    void filesOfARegistration()
    {
        const DesktopFiles files = desktopFilesFor(demoRegistration(QStringLiteral("/opt/my tools/demo")));
        QCOMPARE(files.desktopFileName, QStringLiteral("demo.desktop"));
        QCOMPARE(files.mimeTypes,
                 (QStringList{QStringLiteral("x-scheme-handler/demotp"), QStringLiteral("application/x-demofile")}));
        const QString entry = QString::fromUtf8(files.desktopEntry);
        QVERIFY(entry.startsWith(QStringLiteral("[Desktop Entry]\nType=Application\n")));
        QVERIFY(entry.contains(QStringLiteral("\nName=Demo App\n")));
        QVERIFY(entry.contains(QStringLiteral("\nComment=Makes demos\\nfast\n"))); // one line, whatever the text
        QVERIFY(entry.contains(QStringLiteral("\nIcon=demo\n")));
        QVERIFY(entry.contains(QStringLiteral("\nCategories=Graphics;\n")));
        QVERIFY(entry.contains(QStringLiteral("\nExec=\"/opt/my tools/demo\" %u\n")));
        QVERIFY(entry.contains(QStringLiteral("\nMimeType=x-scheme-handler/demotp;application/x-demofile;\n")));
        QVERIFY(!entry.contains(QStringLiteral("NoDisplay"))); // the program shows in the menus
        const QString package = QString::fromUtf8(files.mimePackage);
        QVERIFY(package.contains(QStringLiteral("<mime-type type=\"application/x-demofile\">")));
        QVERIFY(package.contains(QStringLiteral("<comment>Demo &lt;Template&gt; &amp; co</comment>")));
        QVERIFY(package.contains(QStringLiteral("<glob pattern=\"*.demo\"/>")));
        QVERIFY(!package.contains(QStringLiteral("demotp")));
    }

    // Publishing writes the files and runs the desktop's tools; publishing the same again touches
    // nothing and runs no tool, so an ordinary start never waits for them.
    void publishesOnlyWhatChanged()
    {
        const QString data = m_home.filePath(QStringLiteral("data"));
        QCOMPARE(userDataFolder(), data);
        QStringList toolsRun;
        const auto runner = [&toolsRun](const QString& program, const QStringList& arguments) {
            toolsRun.append(program);
            runToCompletion(program, arguments);
        };
        const DesktopRegistration registration = demoRegistration(m_home.filePath(QStringLiteral("bin/demo")));
        QVERIFY(publishDesktopRegistration(registration, {}, runner));
        QCOMPARE(toolsRun, (QStringList{QStringLiteral("update-mime-database"), QStringLiteral("update-desktop-database"),
                                        QStringLiteral("xdg-mime")}));
        const QString entryPath = data + QStringLiteral("/applications/demo.desktop");
        const QString packagePath = data + QStringLiteral("/mime/packages/demo.xml");
        const QByteArray entry = readAll(entryPath);
        QVERIFY(!entry.isEmpty());
        QVERIFY(!readAll(packagePath).isEmpty());
        const QDateTime written = QFileInfo(entryPath).lastModified();

        toolsRun.clear();
        QVERIFY(!publishDesktopRegistration(registration, {}, runner));
        QVERIFY(toolsRun.isEmpty());
        QCOMPARE(readAll(entryPath), entry);
        QCOMPARE(QFileInfo(entryPath).lastModified(), written);

        // A program that moved is registered anew.
        QVERIFY(publishDesktopRegistration(demoRegistration(QStringLiteral("/elsewhere/demo")), {}, runner));
        QVERIFY(readAll(entryPath).contains("Exec=\"/elsewhere/demo\" %u"));
        QCOMPARE(toolsRun, QStringList{QStringLiteral("update-desktop-database")} << QStringLiteral("xdg-mime"));
        QVERIFY(publishDesktopRegistration(registration, {}, runner));

        if (!QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty())
            QCOMPARE(QProcess::execute(QStringLiteral("desktop-file-validate"), {entryPath}), 0);
        if (QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty())
            QSKIP("xdg-mime is not installed");
        for (const QString& type : {QStringLiteral("x-scheme-handler/demotp"), QStringLiteral("application/x-demofile")}) {
            QProcess query;
            query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), type});
            QVERIFY(query.waitForFinished(10000));
            QCOMPARE(query.readAllStandardOutput().trimmed(), QByteArray("demo.desktop"));
        }
    }

    void incompleteRegistrationWritesNothing()
    {
        QTemporaryDir data;
        DesktopRegistration registration = demoRegistration(QString());
        QVERIFY(!publishDesktopRegistration(registration, data.path(), runToCompletion));
        QVERIFY(QDir(data.path()).isEmpty());
    }

private:
    QTemporaryDir m_home;
};

QTEST_MAIN(DesktopRegistrationTest)
#include "tst_desktop_registration.moc"
