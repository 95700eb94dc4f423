#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

// A tiny HTTP server on 127.0.0.1 for download tests. Each path answers with fixed raw bytes
// (status line, headers and body, or only part of them); the connection is then closed, or left
// open to make a stalled transfer. Unknown paths answer 404.
class LocalHttpServer : public QObject {
public:
    LocalHttpServer();

    bool start();
    QString url(const QString& path) const; // "http://127.0.0.1:<port>" + path

    // Serves a complete response with a correct Content-Length.
    void serve(const QByteArray& path, int status, const QByteArray& body, const QByteArray& extraHeaders = {});
    // Serves these exact bytes, then closes the connection (or keeps it open when stall is set).
    void serveRaw(const QByteArray& path, const QByteArray& raw, bool stall = false);

    int requestCount() const { return m_requests.size(); }
    const QList<QByteArray>& requestedPaths() const { return m_requests; }

private:
    struct Route {
        QByteArray raw;
        bool stall = false;
    };

    void accept();
    void readRequest(QTcpSocket* socket);

    QTcpServer m_server;
    QHash<QByteArray, Route> m_routes;
    QList<QByteArray> m_requests;
    QHash<QTcpSocket*, QByteArray> m_pending;
};

// A port on 127.0.0.1 where nothing listens.
quint16 closedLocalPort();
