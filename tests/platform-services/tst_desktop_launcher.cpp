#include "platform/DesktopLauncher.h"
#include "platform/ScriptedMessages.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace platform;

class DesktopLauncherTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { setLaunchBackend({}); }

    void outcomes_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("desktopAnswer");
        QTest::addColumn<bool>("reachesDesktop");
        QTest::addColumn<bool>("launched");
        QTest::addColumn<int>("errorNumber");
        QTest::addColumn<QString>("errorSource");
        QTest::addColumn<QString>("descriptionStart");

        QTest::newRow("accepted") << "http://example.org/" << 42 << true << true << 0 << "" << "";
        QTest::newRow("33 is accepted") << "x" << 33 << true << true << 0 << "" << "";
        QTest::newRow("blanks only") << "   " << 42 << false << false << -1 << "SuperShell()"
                                     << "No file, Email, or URL specified to open";
        QTest::newRow("no program for it") << "a.xyz" << 31 << true << false << 31 << "ShellExecute()"
                                           << "There is no application associated";
        QTest::newRow("32 is refused") << "a.xyz" << 32 << true << false << 32 << "ShellExecute()"
                                       << "The specified dynamic-link library was not found.";
        QTest::newRow("code without text") << "a.xyz" << 4 << true << false << 4 << "ShellExecute()" << "Unknown Error";
        QTest::newRow("negative code") << "a.xyz" << -7 << true << false << -7 << "ShellExecute()" << "Unknown Error";
    }

    void outcomes()
    {
        QFETCH(QString, target);
        QFETCH(int, desktopAnswer);
        QFETCH(bool, reachesDesktop);
        QFETCH(bool, launched);
        QFETCH(int, errorNumber);
        QFETCH(QString, errorSource);
        QFETCH(QString, descriptionStart);

        QList<LaunchRequest> requests;
        setLaunchBackend([&](const LaunchRequest& request) {
            requests.append(request);
            return desktopAnswer;
        });
        ScriptedMessages messages;
        LaunchRequest request;
        request.target = target;
        request.parameters = QStringLiteral("-x");
        request.workingFolder = QStringLiteral("/tmp");
        const LaunchResult result = launch(request);
        QCOMPARE(result.launched, launched);
        QCOMPARE(result.errorNumber, errorNumber);
        QCOMPARE(result.errorSource, errorSource);
        if (descriptionStart.isEmpty())
            QVERIFY(result.errorDescription.isEmpty());
        else
            QVERIFY2(result.errorDescription.startsWith(descriptionStart), qPrintable(result.errorDescription));
        QCOMPARE(messages.count(), 0);
        QCOMPARE(requests.size(), reachesDesktop ? 1 : 0);
        if (reachesDesktop) {
            QCOMPARE(requests.first().target, target.trimmed());
            QCOMPARE(requests.first().parameters, QStringLiteral("-x"));
            QCOMPARE(requests.first().workingFolder, QStringLiteral("/tmp"));
        }
    }

    void errorBoxOnlyWhenAsked()
    {
        setLaunchBackend([](const LaunchRequest&) { return 31; });
        ScriptedMessages messages;
        LaunchRequest request;
        request.target = QStringLiteral("a.xyz");
        request.showErrors = true;
        QVERIFY(!launch(request).launched);
        QCOMPARE(messages.count(), 1);
        const MessageRequest& box = messages.last();
        QCOMPARE(box.title, QStringLiteral("  Error"));
        QCOMPARE(box.icon, MessageIcon::Exclamation);
        QCOMPARE(box.text.split(QLatin1Char('\n')),
                 (QStringList{QStringLiteral("The following error occured while trying to open the specified file, "
                                             "folder, URL, Email, or document:"),
                              QString(), QStringLiteral("Error Number = 31"), QStringLiteral("Error Source = ShellExecute()"),
                              QStringLiteral("Error Description = ") + launchErrorDescription(31)}));
        request.target = QStringLiteral(" ");
        QVERIFY(!launch(request).launched);
        QCOMPARE(messages.count(), 2);
        QVERIFY(messages.last().text.contains(QStringLiteral("Error Number = -1\nError Source = SuperShell()")));
    }

    // The desktop's own backend, on targets where the answer does not depend on the desktop.
    void desktopBackendAnswers()
    {
        QTemporaryDir folder;
        QFile existing(folder.filePath(QStringLiteral("sheet.txt")));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.close();

        LaunchRequest request;
        request.target = folder.filePath(QStringLiteral("absent.txt"));
        QCOMPARE(launchThroughDesktop(request), 2);
        request.target = folder.filePath(QStringLiteral("absent/folder/file.txt"));
        QCOMPARE(launchThroughDesktop(request), 3);
        request.target = QStringLiteral("sheet.txt");
        request.workingFolder = folder.path();
        request.verb = LaunchVerb::Print;
        QCOMPARE(launchThroughDesktop(request), 31);
        // The headless test platform opens nothing, which is what "no program can open it" looks like.
        request.verb = LaunchVerb::Open;
        QCOMPARE(launchThroughDesktop(request), 31);
    }
};

QTEST_MAIN(DesktopLauncherTest)
#include "tst_desktop_launcher.moc"
