#include "platform/FileDownload.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QProgressDialog>
#include <QSaveFile>
#include <QUrl>
#include <memory>

namespace platform {

namespace {

// Follows one transfer from its start to its end and decides whether it succeeded.
class Transfer {
public:
    Transfer(QNetworkReply& reply, QSaveFile& file, const DownloadOptions& options)
        : m_reply(reply)
        , m_file(file)
        , m_options(options)
    {
    }

    // True when the whole body arrived and was written.
    bool run()
    {
        QEventLoop loop;
        std::unique_ptr<QProgressDialog> progress;
        if (m_options.showProgress) {
            progress = std::make_unique<QProgressDialog>(QStringLiteral("Downloading the template..."),
                QStringLiteral("Cancel"), 0, 0, m_options.progressParent);
            progress->setWindowModality(Qt::ApplicationModal);
            progress->setMinimumDuration(500);
            progress->setAutoClose(false);
            progress->setAutoReset(false);
            QObject::connect(progress.get(), &QProgressDialog::canceled, &m_reply, [this] { fail(); });
            QObject::connect(&m_reply, &QNetworkReply::downloadProgress, progress.get(),
                [&progress](qint64 received, qint64 total) {
                    // The box counts in KiB so that large totals fit its int range.
                    if (total > 0)
                        progress->setMaximum(int(total / 1024) + 1);
                    progress->setValue(int(received / 1024));
                });
        }
        QObject::connect(&m_reply, &QNetworkReply::metaDataChanged, &m_reply, [this] { checkDeclaredLength(); });
        QObject::connect(&m_reply, &QNetworkReply::readyRead, &m_reply, [this] { writeAvailable(); });
        QObject::connect(&m_reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        // User input stays on so that the progress box's Cancel can be pressed; the box is
        // application-modal, so nothing else takes input meanwhile.
        if (!m_reply.isFinished())
            loop.exec();
        if (m_failed)
            return false;
        writeAvailable();
        if (m_failed || m_reply.error() != QNetworkReply::NoError)
            return false;
        const int status = m_reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (m_reply.url().scheme().startsWith(QLatin1String("http")) && (status < 200 || status > 299))
            return false;
        // A body cut short is not always reported as an error: compare with what was announced.
        const QVariant declared = m_reply.header(QNetworkRequest::ContentLengthHeader);
        if (declared.isValid() && declared.toLongLong() != m_received)
            return false;
        return true;
    }

private:
    void fail()
    {
        if (m_failed)
            return;
        m_failed = true;
        m_reply.abort();
    }

    void checkDeclaredLength()
    {
        const QVariant declared = m_reply.header(QNetworkRequest::ContentLengthHeader);
        if (declared.isValid() && declared.toLongLong() > m_options.maximumBytes)
            fail();
    }

    void writeAvailable()
    {
        if (m_failed || !m_reply.isOpen())
            return;
        const QByteArray chunk = m_reply.readAll();
        m_received += chunk.size();
        if (m_received > m_options.maximumBytes) {
            fail();
            return;
        }
        if (m_file.write(chunk) != chunk.size())
            fail();
    }

    QNetworkReply& m_reply;
    QSaveFile& m_file;
    const DownloadOptions& m_options;
    std::int64_t m_received = 0;
    bool m_failed = false;
};

} // namespace

bool downloadFile(const QString& url, const QString& localPath)
{
    return downloadFile(url, localPath, DownloadOptions{});
}

bool downloadFile(const QString& url, const QString& localPath, const DownloadOptions& options)
{
    const QUrl address(url, QUrl::StrictMode);
    if (!address.isValid() || address.isRelative() || localPath.isEmpty() || QFileInfo(localPath).isDir())
        return false;

    // The body goes to a temporary file beside the destination, renamed over it on commit().
    QSaveFile file(localPath);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return false;

    QNetworkAccessManager network;
    network.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setRawHeader("Cache-Control", "no-cache");
    request.setRawHeader("Pragma", "no-cache");
    request.setTransferTimeout(options.stallTimeoutMs);
    request.setMaximumRedirectsAllowed(10);

    std::unique_ptr<QNetworkReply> reply(network.get(request));
    Transfer transfer(*reply, file, options);
    const bool complete = transfer.run();
    if (!complete) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace platform
