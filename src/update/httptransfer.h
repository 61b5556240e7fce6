// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;
class QAuthenticator;
class QTimer;

namespace zelvora {

// Every HTTP GET of the program goes through this class. Nothing here blocks: a page arrives through
// pageOpened/openFailed, a download is driven by headerArrived, bodyDataArrived and transferEnded.
// A server that sends nothing for the time limit (15 s) fails the transfer.
class HttpTransfer final : public QObject
{
    Q_OBJECT

public:
    explicit HttpTransfer(QObject* parent = nullptr);
    ~HttpTransfer() override;
    Q_DISABLE_COPY_MOVE(HttpTransfer)

    // Longest silence of the server before the transfer fails; 0 waits for ever.
    static constexpr int DefaultTimeoutMs = 15000;
    // Most body bytes a download holds unread: the server is read no further until they are taken.
    // (Measured on a local link: larger buffers make a large download slower, not faster.)
    static constexpr qint64 ReadBufferSize = 256 * 1024;
    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }
    int timeout() const { return m_timeoutMs; }

    // A host from the settings with the fixed path and query: "http://" is put in front unless the host
    // already names its scheme ("https://bank.example" stays secure).
    static QString addressOn(const QString& host, const QString& pathAndQuery);
    // A page's bytes as text: by the charset its response names, else by a <meta> charset among its first
    // 1024 bytes, else as UTF-8 when the bytes are valid UTF-8, else as Windows-1254 (Turkish).
    static QString decodePage(const QByteArray& body, const QByteArray& contentType);

    // Starts a GET of a whole page; pageOpened or openFailed follows. A transfer already running is
    // cancelled first. A status other than 2xx is a failure: an error page is not the page asked for.
    void OpenURL(const QString& url);
    bool isOpening() const;

    QString URL() const { return m_url; }
    void setURL(const QString& url) { m_url = url; }
    void setUserName(const QString& name) { m_userName = name; }
    void setPassword(const QString& password) { m_password = password; }

    // Starts the request for URL with extra header lines ("Name: value" each ended by CR LF) and returns
    // at once; false when the address cannot be requested (errorString() says why).
    bool Execute(const QString& operation, const QString& extraHeaders);
    // True from Execute until the response header arrived or the request failed.
    bool StillExecuting() const;
    // The transfer has ended: the whole body was received, or it failed.
    bool finished() const { return m_finished; }
    // Ended by a failure of the connection (refused, closed early, time limit) rather than by the server's
    // answer; a status such as 404 is an answer.
    bool connectionFailed() const { return m_connectionFailed; }
    QString errorString() const { return m_error; }

    // The response header as one text: "HTTP/1.1 200 OK" first, lines separated by CR LF.
    QString GetHeader() const;
    // One header's value, empty when absent.
    QString GetHeader(const QString& name) const;
    // At most size bytes of the body received so far; empty when none is waiting.
    QByteArray GetChunk(qint64 size);
    // All of the body received so far, in one piece.
    QByteArray GetAvailable();
    qint64 bytesAvailable() const;

    // Stops the running request without any signal; harmless when none runs.
    void Cancel();

signals:
    void pageOpened(const QString& page);
    void openFailed(const QString& error);
    void headerArrived();
    void bodyDataArrived();
    void transferEnded();

private:
    QNetworkReply* startGet(const QString& address, const QList<std::pair<QByteArray, QByteArray>>& headers);
    void onMetaData();
    void onReadyRead();
    void onFinished();
    void onPageFinished();
    void onAuthentication(QNetworkReply* reply, QAuthenticator* authenticator);
    void markHeader();
    QString describeError() const;
    void dropReply();
    void checkSilence();

    QNetworkAccessManager* m_manager = nullptr;
    QPointer<QNetworkReply> m_reply;
    QTimer* m_watchdog = nullptr;
    QElapsedTimer m_activity;
    bool m_timedOut = false;
    QString m_url;
    QString m_userName;
    QString m_password;
    QString m_error;
    QByteArray m_buffer;
    qsizetype m_bufferPos = 0;
    int m_timeoutMs = DefaultTimeoutMs;
    bool m_page = false;
    bool m_headerSeen = false;
    bool m_finished = false;
    bool m_connectionFailed = false;
    bool m_credentialsGiven = false;
};

} // namespace zelvora
