#include "LocalHttpServer.h"

LocalHttpServer::LocalHttpServer()
{
    connect(&m_server, &QTcpServer::newConnection, this, &LocalHttpServer::accept);
}

bool LocalHttpServer::start()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

QString LocalHttpServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
}

void LocalHttpServer::serve(const QByteArray& path, int status, const QByteArray& body, const QByteArray& extraHeaders)
{
    QByteArray raw = "HTTP/1.1 " + QByteArray::number(status) + (status == 200 ? " OK" : " Status") + "\r\n";
    raw += "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n" + extraHeaders + "\r\n";
    raw += body;
    serveRaw(path, raw);
}

void LocalHttpServer::serveRaw(const QByteArray& path, const QByteArray& raw, bool stall)
{
    m_routes.insert(path, Route{raw, stall});
}

void LocalHttpServer::accept()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void LocalHttpServer::readRequest(QTcpSocket* socket)
{
    QByteArray& received = m_pending[socket];
    received += socket->readAll();
    if (!received.contains("\r\n\r\n"))
        return;
    const QList<QByteArray> requestLine = received.left(received.indexOf("\r\n")).split(' ');
    m_pending.remove(socket);
    const QByteArray path = requestLine.value(1);
    m_requests.append(path);
    const auto route = m_routes.constFind(path);
    if (route == m_routes.constEnd()) {
        socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\nConnection: close\r\n\r\nNot found");
        socket->disconnectFromHost();
        return;
    }
    socket->write(route->raw);
    socket->flush();
    if (!route->stall)
        socket->disconnectFromHost();
}

quint16 closedLocalPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}
