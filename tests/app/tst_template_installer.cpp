// Installing templates from links and files into a template folder.
#include "../platform-services/LocalHttpServer.h"

#include "app/TemplateInstaller.h"
#include "platform/ScriptedMessages.h"
#include "platform/Settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using platform::MessageAnswer;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

const QString Failure = QStringLiteral("Unable to download the template file.");
const QString Success = QStringLiteral("The template has been downloaded and installed successfully.");
const QString Replace = QStringLiteral("This template is already installed. Do you wish to replace it?");

} // namespace

class TemplateInstallerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        QVERIFY(m_server.start());
        m_server.serve("/templates/car.skrv", 200, "new car");
        m_server.serveRaw("/broken/car.skrv", "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nshort");
    }

    void init()
    {
        m_program = std::make_unique<QTemporaryDir>();
        m_options.showProgress = false;
        m_options.stallTimeoutMs = 2000;
    }

    void link_data()
    {
        QTest::addColumn<QString>("path");        // on the local server
        QTest::addColumn<bool>("installedBefore"); // car.skrv is already there
        QTest::addColumn<QList<MessageAnswer>>("answers");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QByteArray>("carAfter");
        QTest::addColumn<int>("requests");

        QTest::newRow("new template") << "/templates/car.skrv" << false << QList<MessageAnswer>{}
                                      << QStringList{Success} << QByteArray("new car") << 1;
        QTest::newRow("replace on Yes") << "/templates/car.skrv" << true << QList<MessageAnswer>{MessageAnswer::Yes}
                                        << QStringList{Replace, Success} << QByteArray("new car") << 1;
        QTest::newRow("keep on No") << "/templates/car.skrv" << true << QList<MessageAnswer>{MessageAnswer::No}
                                    << QStringList{Replace} << QByteArray("old car") << 0;
        QTest::newRow("404 leaves nothing") << "/templates/gone.skrv" << false << QList<MessageAnswer>{}
                                            << QStringList{Failure} << QByteArray("<missing>") << 1;
        QTest::newRow("cut short keeps the old car") << "/broken/car.skrv" << true << QList<MessageAnswer>{MessageAnswer::Yes}
                                                     << QStringList{Replace, Failure} << QByteArray("old car") << 1;
        QTest::newRow("404 keeps the old car") << "/templates/gone/car.skrv" << true << QList<MessageAnswer>{MessageAnswer::Yes}
                                               << QStringList{Replace, Failure} << QByteArray("old car") << 1;
        QTest::newRow("ends with /") << "/templates/" << true << QList<MessageAnswer>{}
                                     << QStringList{Failure} << QByteArray("old car") << 0;
        QTest::newRow("parent folder") << "/templates/../x" << true << QList<MessageAnswer>{}
                                       << QStringList{Failure} << QByteArray("old car") << 0;
        QTest::newRow("the program") << "/skarvelle2" << true << QList<MessageAnswer>{}
                                     << QStringList{Failure} << QByteArray("old car") << 0;
        QTest::newRow("the effects movie") << "/Effects.swf" << true << QList<MessageAnswer>{}
                                           << QStringList{Failure} << QByteArray("old car") << 0;
    }

    void link()
    {
        QFETCH(QString, path);
        QFETCH(bool, installedBefore);
        QFETCH(QList<MessageAnswer>, answers);
        QFETCH(QStringList, messages);
        QFETCH(QByteArray, carAfter);
        QFETCH(int, requests);

        const QString car = m_program->filePath(QStringLiteral("car.skrv"));
        if (installedBefore)
            writeFile(car, "old car");
        writeFile(m_program->filePath(QStringLiteral("Effects.swf")), "effects");
        const int requestsBefore = m_server.requestCount();

        platform::ScriptedMessages recorder;
        for (MessageAnswer answer : answers)
            recorder.answerNext(answer);
        app::TemplateInstaller installer(m_program->path());
        installer.setDownloadOptions(m_options);
        const QString link = m_server.url(path).replace(QStringLiteral("http:"), QStringLiteral("skrvtp:"));
        QVERIFY(installer.installFromLink(link));

        QStringList shown;
        for (const auto& request : recorder.requests())
            shown.append(request.text);
        QCOMPARE(shown, messages);
        QCOMPARE(m_server.requestCount() - requestsBefore, requests);
        QCOMPARE(readAll(car), carAfter);
        QCOMPARE(readAll(m_program->filePath(QStringLiteral("Effects.swf"))), QByteArray("effects"));
        if (shown.last() == Failure)
            QCOMPARE(recorder.last().icon, platform::MessageIcon::Critical);
        else if (shown.last() == Success)
            QCOMPARE(recorder.last().icon, platform::MessageIcon::Information);
        // Nothing but the templates and the effects movie is left in the program folder.
        for (const QString& name : QDir(m_program->path()).entryList(QDir::Files | QDir::Hidden))
            QVERIFY2(name == QLatin1String("car.skrv") || name == QLatin1String("Effects.swf"), qPrintable(name));
    }

    // A link whose address has no "/" is not handled at all: start-up goes on.
    void linkWithoutSlashIsPassedOn()
    {
        platform::ScriptedMessages recorder;
        app::TemplateInstaller installer(m_program->path());
        QVERIFY(!installer.installFromLink(QStringLiteral("skrvtp:car.skrv")));
        QCOMPARE(recorder.count(), 0);
    }

    void file_data()
    {
        QTest::addColumn<QString>("argument"); // %P stands for the program folder, %O for another
        QTest::addColumn<bool>("installedBefore");
        QTest::addColumn<QList<MessageAnswer>>("answers");
        QTest::addColumn<QByteArray>("carAfter");
        QTest::addColumn<QString>("templateSetting");

        QTest::newRow("outside, path with blanks") << "%O/car.skrv" << false << QList<MessageAnswer>{}
                                                   << QByteArray("other car") << "car.skrv";
        QTest::newRow("replace on Yes") << "%O/car.skrv" << true << QList<MessageAnswer>{MessageAnswer::Yes}
                                        << QByteArray("other car") << "car.skrv";
        QTest::newRow("keep on No") << "%O/car.skrv" << true << QList<MessageAnswer>{MessageAnswer::No}
                                    << QByteArray("old car") << "last.skrv";
        QTest::newRow("already in the program folder") << "%P/car.skrv" << true << QList<MessageAnswer>{}
                                                       << QByteArray("old car") << "car.skrv";
        QTest::newRow("as a file URL") << "file://%O/car.skrv" << false << QList<MessageAnswer>{}
                                       << QByteArray("other car") << "car.skrv";
        QTest::newRow("not a template") << "%O/notes.txt" << false << QList<MessageAnswer>{}
                                        << QByteArray("<missing>") << "last.skrv";
        QTest::newRow("no such file") << "%O/absent.skrv" << false << QList<MessageAnswer>{}
                                      << QByteArray("<missing>") << "last.skrv";
    }

    void file()
    {
        QFETCH(QString, argument);
        QFETCH(bool, installedBefore);
        QFETCH(QList<MessageAnswer>, answers);
        QFETCH(QByteArray, carAfter);
        QFETCH(QString, templateSetting);

        QTemporaryDir other;
        const QString otherFolder = other.filePath(QStringLiteral("my templates"));
        writeFile(otherFolder + QStringLiteral("/car.skrv"), "other car");
        writeFile(otherFolder + QStringLiteral("/notes.txt"), "notes");
        if (installedBefore)
            writeFile(m_program->filePath(QStringLiteral("car.skrv")), "old car");
        platform::saveSetting(QStringLiteral("Last Time"), QStringLiteral("Template"), QStringLiteral("last.skrv"));
        platform::saveSetting(QStringLiteral("Last Time"), QStringLiteral("Part"), QStringLiteral("3"));

        platform::ScriptedMessages recorder;
        for (MessageAnswer answer : answers)
            recorder.answerNext(answer);
        app::TemplateInstaller installer(m_program->path());
        argument.replace(QStringLiteral("%P"), m_program->path()).replace(QStringLiteral("%O"), otherFolder);
        installer.installFromFile(argument);

        QCOMPARE(recorder.count(), answers.size()); // only the replace question, never a message
        QCOMPARE(recorder.pendingAnswers(), 0);
        QCOMPARE(readAll(m_program->filePath(QStringLiteral("car.skrv"))), carAfter);
        QCOMPARE(platform::getSetting(QStringLiteral("Last Time"), QStringLiteral("Template")), templateSetting);
        QCOMPARE(platform::getSetting(QStringLiteral("Last Time"), QStringLiteral("Part")),
            templateSetting == QLatin1String("last.skrv") ? QStringLiteral("3") : QStringLiteral("0"));
        QCOMPARE(QDir(m_program->path()).entryList(QDir::Files | QDir::Hidden).size(), carAfter == "<missing>" ? 0 : 1);
    }

private:
    QTemporaryDir m_config;
    LocalHttpServer m_server;
    std::unique_ptr<QTemporaryDir> m_program;
    platform::DownloadOptions m_options;
};

QTEST_MAIN(TemplateInstallerTest)
#include "tst_template_installer.moc"
