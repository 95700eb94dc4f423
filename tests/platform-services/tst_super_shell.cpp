#include "platform/ScriptedMessages.h"
#include "platform/modSuperShell.h"

#include <QTemporaryDir>
#include <QtTest>

class SuperShellTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { platform::setShellLauncher({}); }

    void outcomes_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("verbNumber");
        QTest::addColumn<int>("shellResult");
        QTest::addColumn<bool>("launched");
        QTest::addColumn<QString>("verb");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("errorNumber");
        QTest::addColumn<QString>("errorSource");
        QTest::addColumn<QString>("descriptionStart");

        QTest::newRow("accepted") << "http://example.org/" << 0 << 42 << true << "open" << true << 0 << "" << "";
        QTest::newRow("blanks only") << "   " << 0 << 42 << false << "" << false << -1 << "SuperShell()"
                                     << "No file, Email, or URL specified to open";
        QTest::newRow("empty") << "" << 0 << 42 << false << "" << false << -1 << "SuperShell()" << "No file";
        QTest::newRow("no program for it") << "a.xyz" << 0 << 31 << true << "open" << false << 31 << "ShellExecute()"
                                           << "There is no application associated";
        QTest::newRow("code without text") << "a.xyz" << 0 << 4 << true << "open" << false << 4 << "ShellExecute()"
                                           << "Unknown Error";
        QTest::newRow("negative code") << "a.xyz" << 0 << -7 << true << "open" << false << -7 << "ShellExecute()"
                                       << "Unknown Error";
        QTest::newRow("file not found") << "a.xyz" << 0 << 2 << true << "open" << false << 2 << "ShellExecute()"
                                        << "The specified file was not found.";
        QTest::newRow("out of memory") << "a.xyz" << 0 << 0 << true << "open" << false << 0 << "ShellExecute()"
                                       << "The operating system is out of memory or resources.";
        QTest::newRow("code 32") << "a.xyz" << 0 << 32 << true << "open" << false << 32 << "ShellExecute()"
                                 << "The specified dynamic-link library was not found.";
        QTest::newRow("verb 1") << "x" << 1 << 33 << true << "explore" << true << 0 << "" << "";
        QTest::newRow("verb 3") << "x" << 3 << 33 << true << "print" << true << 0 << "" << "";
        QTest::newRow("verb 6") << "x" << 6 << 33 << true << "play" << true << 0 << "" << "";
        QTest::newRow("verb 7 opens") << "x" << 7 << 33 << true << "open" << true << 0 << "" << "";
    }

    void outcomes()
    {
        QFETCH(QString, target);
        QFETCH(int, verbNumber);
        QFETCH(int, shellResult);
        QFETCH(bool, launched);
        QFETCH(QString, verb);
        QFETCH(bool, accepted);
        QFETCH(int, errorNumber);
        QFETCH(QString, errorSource);
        QFETCH(QString, descriptionStart);

        QList<platform::ShellRequest> requests;
        platform::setShellLauncher([&](const platform::ShellRequest& request) {
            requests.append(request);
            return shellResult;
        });
        platform::ScriptedMessages messages;
        std::int32_t number = 99;
        QString source = QStringLiteral("stale");
        QString description = QStringLiteral("stale");
        QCOMPARE(platform::SuperShell(target, {}, verbNumber, 1, {}, -1, false, number, source, description), accepted);
        QCOMPARE(number, errorNumber);
        QCOMPARE(source, errorSource);
        if (descriptionStart.isEmpty())
            QVERIFY(description.isEmpty());
        else
            QVERIFY2(description.startsWith(descriptionStart), qPrintable(description));
        QCOMPARE(messages.count(), 0);
        QCOMPARE(requests.size(), launched ? 1 : 0);
        if (launched) {
            QCOMPARE(requests.first().verb, verb);
            QCOMPARE(requests.first().target, target.trimmed());
        }
    }

    void requestCarriesTheCallersValues()
    {
        std::optional<platform::ShellRequest> seen;
        platform::setShellLauncher([&](const platform::ShellRequest& request) {
            seen = request;
            return 33;
        });
        std::int32_t number = 0;
        QString source, description;
        QVERIFY(platform::SuperShell(QStringLiteral("  /tmp/a b.txt  "), QStringLiteral("-x"), 0, 3,
            QStringLiteral("/tmp"), 77, false, number, source, description));
        QVERIFY(seen);
        QCOMPARE(seen->target, QStringLiteral("/tmp/a b.txt"));
        QCOMPARE(seen->parameters, QStringLiteral("-x"));
        QCOMPARE(seen->workingFolder, QStringLiteral("/tmp"));
        QCOMPARE(seen->showMode, 3);
        QCOMPARE(seen->owner, 77);
    }

    void errorBoxOnlyWhenAsked()
    {
        platform::setShellLauncher([](const platform::ShellRequest&) { return 31; });
        platform::ScriptedMessages messages;
        std::int32_t number = 0;
        QString source, description;
        QVERIFY(!platform::SuperShell(QStringLiteral("a.xyz"), {}, 0, 1, {}, -1, true, number, source, description));
        QCOMPARE(messages.count(), 1);
        const platform::MessageRequest& box = messages.last();
        QCOMPARE(box.title, QStringLiteral("  Error"));
        QCOMPARE(box.icon, platform::MessageIcon::Exclamation);
        QCOMPARE(box.buttons, platform::MessageButtons::Ok);
        const QStringList lines = box.text.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[0], QStringLiteral("The following error occured while trying to open the specified file, folder, "
                                          "URL, Email, or document:"));
        QCOMPARE(lines[1], QString());
        QCOMPARE(lines[2], QStringLiteral("Error Number = 31"));
        QCOMPARE(lines[3], QStringLiteral("Error Source = ShellExecute()"));
        QCOMPARE(lines[4], QStringLiteral("Error Description = ") + platform::shellErrorDescription(31));

        QVERIFY(!platform::SuperShell(QStringLiteral(" "), {}, 0, 1, {}, -1, true, number, source, description));
        QCOMPARE(messages.count(), 2);
        QVERIFY(messages.last().text.contains(QStringLiteral("Error Number = -1\nError Source = SuperShell()")));
    }

    // The desktop launcher itself, on targets where the answer does not depend on the desktop.
    void desktopLauncherAnswers()
    {
        QTemporaryDir folder;
        QFile existing(folder.filePath(QStringLiteral("sheet.txt")));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.close();

        platform::ShellRequest request;
        request.verb = QStringLiteral("open");
        request.target = folder.filePath(QStringLiteral("absent.txt"));
        QCOMPARE(platform::launchThroughDesktop(request), 2);
        request.target = folder.filePath(QStringLiteral("absent/folder/file.txt"));
        QCOMPARE(platform::launchThroughDesktop(request), 3);
        request.target = QStringLiteral("sheet.txt");
        request.workingFolder = folder.path();
        request.verb = QStringLiteral("print");
        QCOMPARE(platform::launchThroughDesktop(request), 31);
        // The headless test platform opens nothing, which is what "no program can open it" looks like.
        request.verb = QStringLiteral("open");
        QCOMPARE(platform::launchThroughDesktop(request), 31);
    }
};

QTEST_MAIN(SuperShellTest)
#include "tst_super_shell.moc"
