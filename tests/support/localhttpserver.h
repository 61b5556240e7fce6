// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

class QTcpServer;
class QTcpSocket;

namespace zelvora::test {

// A small HTTP server on 127.0.0.1 for tests. Each path (with its query) gets raw response bytes, so a test
// can send any status line, leave out Content-Length, close early or never answer.
class LocalHttpServer final : public QObject
{
    Q_OBJECT

public:
    struct Response
    {
        QByteArray raw; // status line, headers and body as sent
        bool close = true; // close the connection once written (otherwise it stays open, silent)
        QByteArray credentials; // "user:password": without them the answer is 401 asking for Basic
    };

    explicit LocalHttpServer(QObject* parent = nullptr);
    ~LocalHttpServer() override;

    quint16 port() const;
    // "127.0.0.1:<port>", as a host setting.
    QString host() const;
    QString url(const QString& pathAndQuery) const;

    void serve(const QString& pathAndQuery, const Response& response);
    // Paths not served get "404 Not Found".

    static Response page(const QByteArray& body, const QByteArray& contentType = "text/html", int status = 200,
                         const QByteArray& reason = "OK");
    // A response that is sent up to cut bytes of the body and then left hanging (cut < 0: all of it) or
    // closed (closeAfterCut).
    static Response partial(const QByteArray& body, qint64 cut, bool closeAfterCut);
    static Response silent() { return {{}, false, {}}; }

    // The request heads received, in order.
    const QList<QByteArray>& requests() const { return m_requests; }

private:
    void onConnection();
    void onReadable(QTcpSocket* socket);

    QTcpServer* m_server = nullptr;
    QHash<QString, Response> m_responses;
    QHash<QTcpSocket*, QByteArray> m_pending;
    QList<QByteArray> m_requests;
};

} // namespace zelvora::test
