// The program installed into a prefix: its files land where a Linux desktop looks for them, and
// the installed program starts on its sample templates, found in <prefix>/share/skarvelle2.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class InstallationTest : public QObject {
    Q_OBJECT

private slots:
    void installsAndStarts()
    {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString prefix = root.filePath(QStringLiteral("prefix with blanks"));
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(SKRV_CMAKE_COMMAND),
                      {QStringLiteral("--install"), QStringLiteral(SKRV_BINARY_DIR), QStringLiteral("--prefix"), prefix});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitCode() == 0, install.readAll().constData());

        for (const char* file : {"bin/skarvelle2", "bin/skrv-play", "bin/skrv-build", "share/skarvelle2/Car.skrv",
                                 "share/skarvelle2/Chair.skrv", "share/skarvelle2/Stool.skrv",
                                 "share/skarvelle2/Effects.swf", "share/applications/skarvelle2.desktop",
                                 "share/mime/packages/skarvelle2.xml",
                                 "share/icons/hicolor/scalable/apps/skarvelle2.svg"})
            QVERIFY2(QFile::exists(prefix + QLatin1Char('/') + QLatin1String(file)), file);
        QVERIFY(QFileInfo(prefix + QStringLiteral("/bin/skarvelle2")).isExecutable());

        // Started as a user would, with a home of its own and no template installed by the user.
        const QString home = root.filePath(QStringLiteral("home"));
        QDir().mkpath(home);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        const QString temporary = root.filePath(QStringLiteral("tmp"));
        QDir().mkpath(temporary);
        environment.insert(QStringLiteral("TMPDIR"), temporary);
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        QProcess program;
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(prefix + QStringLiteral("/bin/skarvelle2"), {});
        QVERIFY(program.waitForStarted(10000));

        // The first sample template by name is shown and remembered once the window is up; a
        // program that found no templates would be waiting at its question instead.
        const QString settings = home + QStringLiteral("/config/skarvelle2.ini");
        const auto settingsText = [&settings] {
            QFile file(settings);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        QTRY_VERIFY_WITH_TIMEOUT(settingsText().contains("Template=Car.skrv"), 30000);
        QCOMPARE(program.state(), QProcess::Running);
        // It registered itself for the user, as the installed program.
        QFile entry(home + QStringLiteral("/data/applications/skarvelle2.desktop"));
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QByteArray entryText = entry.readAll();
        QVERIFY2(entryText.contains("Exec=\"" + QFile::encodeName(prefix) + "/bin/skarvelle2\" %u"), entryText.constData());
        // The run's texture folder exists while it runs, and a session that ends the program
        // (SIGTERM) still leaves nothing behind.
        QCOMPARE(QDir(temporary).entryList({QStringLiteral("skarvelle2-*")}, QDir::Dirs).size(), 1);
        program.terminate();
        if (!program.waitForFinished(10000)) {
            program.kill();
            program.waitForFinished(5000);
        }
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(QDir(temporary).entryList({QStringLiteral("skarvelle2-*")}, QDir::Dirs).size(), 0);
        // The desktop tools the program started for its registration may still be writing.
        QTRY_VERIFY_WITH_TIMEOUT(root.remove(), 10000);
    }
};

QTEST_GUILESS_MAIN(InstallationTest)
#include "tst_installation.moc"
