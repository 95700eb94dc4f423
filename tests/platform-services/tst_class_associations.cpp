#include "platform/ClassAssociations.h"
#include "platform/modRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using platform::ClassAssociations;
using platform::HKEY_CLASSES_ROOT;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A scheme and a file type registered the way the program registers its own.
void registerDemo(const QString& command)
{
    using namespace platform;
    CreateRegistryKey(HKEY_CLASSES_ROOT, QStringLiteral("demotp"));
    SetRegistryString(HKEY_CLASSES_ROOT, QStringLiteral("demotp"), QString(), QStringLiteral("URL:Demo"));
    SetRegistryString(HKEY_CLASSES_ROOT, QStringLiteral("demotp"), QStringLiteral("URL Protocol"), QString());
    SetRegistryString(HKEY_CLASSES_ROOT, QStringLiteral("demotp\\shell\\open\\command"), QString(), command);
    SetRegistryString(HKEY_CLASSES_ROOT, QStringLiteral("demofile"), QString(), QStringLiteral("Demo <Template> & co"));
    SetRegistryString(HKEY_CLASSES_ROOT, QStringLiteral("demofile\\shell\\open\\command"), QString(), command);
    SetRegistryString(HKEY_CLASSES_ROOT, QStringLiteral(".demo"), QString(), QStringLiteral("demofile"));
}

} // namespace

class ClassAssociationsTest : public QObject {
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

    void init() { ClassAssociations::instance().clear(); }

    void keysAndValuesAreKept()
    {
        using namespace platform;
        SetRegistryDword(HKEY_CLASSES_ROOT, QStringLiteral("Demo\\Shell\\Open"), QStringLiteral("EditFlags"), 2);
        CreateRegistryKey(0x80000001u, QStringLiteral("other")); // another root is refused quietly
        SetRegistryString(0x80000001u, QStringLiteral("Demo"), QString(), QStringLiteral("x"));

        const ClassAssociations& store = ClassAssociations::instance();
        QVERIFY(store.hasKey(QStringLiteral("demo")));          // parents are made too
        QVERIFY(store.hasKey(QStringLiteral("DEMO\\shell")));    // names compare without case
        QCOMPARE(store.value(QStringLiteral("demo\\shell\\open"), QStringLiteral("editflags"))->toInt(), 2);
        QVERIFY(!store.hasKey(QStringLiteral("other")));
        QVERIFY(!store.value(QStringLiteral("demo"), QString()));
        SetRegistryString(HKEY_CLASSES_ROOT, QStringLiteral("demo"), QString(), QStringLiteral("first"));
        SetRegistryString(HKEY_CLASSES_ROOT, QStringLiteral("Demo"), QString(), QStringLiteral("second"));
        QCOMPARE(store.value(QStringLiteral("demo"), QString())->toString(), QStringLiteral("second"));
    }

    void execLine_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain") << "\"/opt/skr/skarvelle2\" \"%1\"" << "Exec=\"/opt/skr/skarvelle2\" %u";
        QTest::newRow("blanks") << "\"/home/a b/skarvelle2\" \"%1\"" << "Exec=\"/home/a b/skarvelle2\" %u";
        QTest::newRow("reserved characters") << "\"/x/$HOME`id`/100%/skarvelle2\" \"%1\""
                                             << "Exec=\"/x/\\\\$HOME\\\\`id\\\\`/100%%/skarvelle2\" %u";
        QTest::newRow("backslash") << "\"/x\\y/skarvelle2\" \"%1\"" << "Exec=\"/x\\\\\\\\y/skarvelle2\" %u";
    }

    void execLine()
    {
        QFETCH(QString, command);
        QFETCH(QString, exec);
        QCOMPARE(QStringLiteral("Exec=") + platform::desktopExecLine(command), exec);
    }

    void desktopFilesFromTheKeys()
    {
        QVERIFY(!ClassAssociations::instance().desktopFiles(QStringLiteral("Demo")));
        registerDemo(QStringLiteral("\"/opt/my tools/demo\" \"%1\""));
        const auto files = ClassAssociations::instance().desktopFiles(QStringLiteral("Demo App"));
        QVERIFY(files);
        QCOMPARE(files->desktopFileName, QStringLiteral("demo.desktop"));
        QCOMPARE(files->mimeTypes, (QStringList{QStringLiteral("x-scheme-handler/demotp"),
                                       QStringLiteral("application/x-demofile")}));
        const QString entry = QString::fromUtf8(files->desktopEntry);
        QVERIFY(entry.startsWith(QStringLiteral("[Desktop Entry]\n")));
        QVERIFY(entry.contains(QStringLiteral("\nName=Demo App\n")));
        QVERIFY(entry.contains(QStringLiteral("\nExec=\"/opt/my tools/demo\" %u\n")));
        QVERIFY(entry.contains(QStringLiteral("\nMimeType=x-scheme-handler/demotp;application/x-demofile;\n")));
        const QString package = QString::fromUtf8(files->mimePackage);
        QVERIFY(package.contains(QStringLiteral("<mime-type type=\"application/x-demofile\">")));
        QVERIFY(package.contains(QStringLiteral("<comment>Demo &lt;Template&gt; &amp; co</comment>")));
        QVERIFY(package.contains(QStringLiteral("<glob pattern=\"*.demo\"/>")));
        QVERIFY(!package.contains(QStringLiteral("demotp")));
    }

    // Publishing writes the files into the data folder, twice gives the same files, and where the
    // desktop's tools are installed the entry becomes the handler of its types.
    void publishIntoTheDataFolder()
    {
        const QString exe = m_home.filePath(QStringLiteral("bin/demo"));
        registerDemo(QStringLiteral("\"%1\" \"%2\"").arg(exe, QStringLiteral("%1")));
        const QString data = m_home.filePath(QStringLiteral("data"));
        QCOMPARE(ClassAssociations::userDataFolder(), data);
        ClassAssociations::instance().publish(QStringLiteral("Demo"));
        const QString entryPath = data + QStringLiteral("/applications/demo.desktop");
        const QString packagePath = data + QStringLiteral("/mime/packages/demo.xml");
        QVERIFY(QFile::exists(entryPath));
        QVERIFY(QFile::exists(packagePath));
        const QByteArray entry = readAll(entryPath);
        const QByteArray package = readAll(packagePath);
        const QDateTime written = QFileInfo(entryPath).lastModified();

        ClassAssociations::instance().publish(QStringLiteral("Demo"));
        QCOMPARE(readAll(entryPath), entry);
        QCOMPARE(readAll(packagePath), package);
        QCOMPARE(QFileInfo(entryPath).lastModified(), written);

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

    // Nothing to publish writes nothing.
    void publishWithoutCommandWritesNothing()
    {
        QTemporaryDir data;
        platform::CreateRegistryKey(HKEY_CLASSES_ROOT, QStringLiteral("lonely"));
        ClassAssociations::instance().publish(QStringLiteral("Demo"), data.path());
        QVERIFY(QDir(data.path()).isEmpty());
    }

private:
    QTemporaryDir m_home;
};

QTEST_MAIN(ClassAssociationsTest)
#include "tst_class_associations.moc"
