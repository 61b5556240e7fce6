// SPDX-License-Identifier: GPL-3.0-or-later
#include "localhttpserver.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace zelvora::test {

LocalHttpServer::LocalHttpServer(QObject* parent)
    : QObject(parent)
    , m_server(new QTcpServer(this))
{
    m_server->listen(QHostAddress::LocalHost, 0);
    connect(m_server, &QTcpServer::newConnection, this, &LocalHttpServer::onConnection);
}

LocalHttpServer::~LocalHttpServer() = default;

quint16 LocalHttpServer::port() const
{
    return m_server->serverPort();
}

QString LocalHttpServer::host() const
{
    return QStringLiteral("127.0.0.1:%1").arg(port());
}

QString LocalHttpServer::url(const QString& pathAndQuery) const
{
    return QStringLiteral("http://") + host() + pathAndQuery;
}

void LocalHttpServer::serve(const QString& pathAndQuery, const Response& response)
{
    m_responses.insert(pathAndQuery, response);
}

LocalHttpServer::Response LocalHttpServer::page(const QByteArray& body, const QByteArray& contentType, int status,
                                                const QByteArray& reason)
{
    QByteArray raw = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n";
    if (!contentType.isEmpty())
        raw += "Content-Type: " + contentType + "\r\n";
    raw += "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    return {raw, true, {}};
}

LocalHttpServer::Response LocalHttpServer::partial(const QByteArray& body, qint64 cut, bool closeAfterCut)
{
    QByteArray raw = "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: "
        + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + (cut < 0 ? body : body.left(cut));
    return {raw, closeAfterCut, {}};
}

void LocalHttpServer::onConnection()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadable(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QObject::destroyed, this, [this, socket] { m_pending.remove(socket); });
    }
}

void LocalHttpServer::onReadable(QTcpSocket* socket)
{
    QByteArray& buffer = m_pending[socket];
    buffer += socket->readAll();
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0)
        return;
    const QByteArray head = buffer.left(end);
    buffer = buffer.mid(end + 4);
    m_requests.append(head);
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    const QString target = requestLine.size() > 1 ? QString::fromLatin1(requestLine.at(1)) : QString();
    const auto found = m_responses.constFind(target);
    Response response = found != m_responses.cend() ? *found : page("Not Found", "text/plain", 404, "Not Found");
    if (!response.credentials.isEmpty()
        && !(head + "\r\n").contains("\r\nAuthorization: Basic " + response.credentials.toBase64() + "\r\n")) {
        response = page("Yetkisiz", "text/plain", 401, "Unauthorized");
        response.raw.replace("Content-Type:", "WWW-Authenticate: Basic realm=\"zelvora\"\r\nContent-Type:");
    }
    if (!response.raw.isEmpty())
        socket->write(response.raw);
    if (response.close)
        socket->disconnectFromHost();
}

} // namespace zelvora::test
