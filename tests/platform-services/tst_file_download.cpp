#include "LocalHttpServer.h"

#include "platform/FileDownload.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

} // namespace

class FileDownloadTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.start());
        m_server.serve("/car.skrv", 200, "FWS-the-template-body");
        m_server.serve("/missing.skrv", 404, "Not here");
        m_server.serve("/moved.skrv", 302, {}, "Location: /car.skrv\r\n");
        m_server.serveRaw("/short.skrv", "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n" + QByteArray(500, 'a'));
        m_server.serve("/declared-too-big.skrv", 200, QByteArray(2000, 'b'));
        m_server.serveRaw("/undeclared-too-big.skrv",
            "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + QByteArray(2000, 'c'));
        m_server.serveRaw("/stalls.skrv", "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n0123456789", true);
    }

    void transfers_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("succeeds");
        QTest::addColumn<QByteArray>("content");

        const QByteArray body = "FWS-the-template-body";
        QTest::newRow("complete body") << m_server.url("/car.skrv") << true << body;
        QTest::newRow("redirect followed") << m_server.url("/moved.skrv") << true << body;
        QTest::newRow("404") << m_server.url("/missing.skrv") << false << QByteArray();
        QTest::newRow("body cut short") << m_server.url("/short.skrv") << false << QByteArray();
        QTest::newRow("declared length over the limit") << m_server.url("/declared-too-big.skrv") << false << QByteArray();
        QTest::newRow("body grows over the limit") << m_server.url("/undeclared-too-big.skrv") << false << QByteArray();
        QTest::newRow("stalled transfer") << m_server.url("/stalls.skrv") << false << QByteArray();
        QTest::newRow("connection refused")
            << QStringLiteral("http://127.0.0.1:%1/car.skrv").arg(closedLocalPort()) << false << QByteArray();
        QTest::newRow("not an address") << QStringLiteral("::not a url::") << false << QByteArray();
    }

    // A failed download leaves the installed file byte for byte as it was, and no temporary
    // file is left behind either way.
    void transfers()
    {
        QFETCH(QString, url);
        QFETCH(bool, succeeds);
        QFETCH(QByteArray, content);

        QTemporaryDir folder;
        const QString destination = folder.filePath(QStringLiteral("car.skrv"));
        writeFile(destination, "the installed template");

        platform::DownloadOptions options;
        options.stallTimeoutMs = 400;
        options.maximumBytes = 1000;
        options.showProgress = false;
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(platform::downloadFile(url, destination, options), succeeds);
        QVERIFY(clock.elapsed() < 10000);
        QCOMPARE(readAll(destination), succeeds ? content : QByteArray("the installed template"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("car.skrv")});
    }

    void destinationThatIsAFolderFailsWithoutARequest()
    {
        QTemporaryDir folder;
        const int before = m_server.requestCount();
        QVERIFY(!platform::downloadFile(m_server.url("/car.skrv"), folder.path()));
        QCOMPARE(m_server.requestCount(), before);
    }

    void newFileAppearsOnlyOnSuccess()
    {
        QTemporaryDir folder;
        const QString destination = folder.filePath(QStringLiteral("new.skrv"));
        platform::DownloadOptions options;
        options.showProgress = false;
        QVERIFY(!platform::downloadFile(m_server.url("/missing.skrv"), destination, options));
        QVERIFY(!QFile::exists(destination));
        QVERIFY(platform::downloadFile(m_server.url("/car.skrv"), destination, options));
        QCOMPARE(readAll(destination), QByteArray("FWS-the-template-body"));
    }

    // The progress box's Cancel ends a transfer that would otherwise wait for the stall timeout.
    void cancelInTheProgressBoxFails()
    {
        QTemporaryDir folder;
        const QString destination = folder.filePath(QStringLiteral("car.skrv"));
        writeFile(destination, "kept");
        bool cancelled = false;
        QTimer poll;
        poll.setInterval(50);
        connect(&poll, &QTimer::timeout, this, [&cancelled] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                auto* progress = qobject_cast<QProgressDialog*>(window);
                if (progress && progress->isVisible() && !cancelled) {
                    cancelled = true;
                    const auto buttons = progress->findChildren<QPushButton*>();
                    if (!buttons.isEmpty())
                        buttons.first()->click();
                }
            }
        });
        poll.start();
        platform::DownloadOptions options;
        options.stallTimeoutMs = 20000;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!platform::downloadFile(m_server.url("/stalls.skrv"), destination, options));
        QVERIFY(cancelled);
        QVERIFY(clock.elapsed() < 10000);
        QCOMPARE(readAll(destination), QByteArray("kept"));
    }

private:
    LocalHttpServer m_server;
};

QTEST_MAIN(FileDownloadTest)
#include "tst_file_download.moc"
