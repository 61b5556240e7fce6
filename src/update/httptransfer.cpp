// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/httptransfer.h"

#include <QAuthenticator>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QTimer>
#include <QUrl>
#include <algorithm>

namespace zelvora {

namespace {

bool isAnswerError(QNetworkReply::NetworkError error)
{
    // 2xx codes of QNetworkReply are content errors (HTTP 4xx), 4xx codes server errors (HTTP 5xx):
    // the server did answer.
    const int code = static_cast<int>(error);
    return (code >= 201 && code <= 299) || (code >= 401 && code <= 499);
}

// The value of a "charset=" parameter in text (a Content-Type value or a meta tag), without quotes; empty
// when there is none.
QByteArray charsetIn(QByteArrayView text)
{
    const QByteArray lower = text.toByteArray().toLower();
    qsizetype at = lower.indexOf("charset");
    while (at >= 0) {
        qsizetype i = at + 7;
        while (i < lower.size() && lower.at(i) == ' ')
            ++i;
        if (i < lower.size() && lower.at(i) == '=') {
            ++i;
            while (i < lower.size() && (lower.at(i) == ' ' || lower.at(i) == '"' || lower.at(i) == '\''))
                ++i;
            const qsizetype start = i;
            while (i < lower.size() && !QByteArrayView(" \t\r\n\"';>/").contains(lower.at(i)))
                ++i;
            if (i > start)
                return lower.mid(start, i - start);
        }
        at = lower.indexOf("charset", at + 7);
    }
    return {};
}

// The charset a page declares in a meta tag among its first bytes: <meta charset="..."> or
// <meta http-equiv="Content-Type" content="text/html; charset=...">.
QByteArray metaCharset(const QByteArray& body)
{
    constexpr qsizetype kPrescan = 1024;
    const QByteArray head = body.left(kPrescan).toLower();
    qsizetype at = head.indexOf("<meta");
    while (at >= 0) {
        const qsizetype end = head.indexOf('>', at);
        const QByteArray charset = charsetIn(QByteArrayView(head).sliced(at, (end < 0 ? head.size() : end) - at));
        if (!charset.isEmpty())
            return charset;
        if (end < 0)
            break;
        at = head.indexOf("<meta", end);
    }
    return {};
}

} // namespace

HttpTransfer::HttpTransfer(QObject* parent)
    : QObject(parent)
    , m_manager(new QNetworkAccessManager(this))
{
    connect(m_manager, &QNetworkAccessManager::authenticationRequired, this, &HttpTransfer::onAuthentication);
    m_watchdog = new QTimer(this);
    connect(m_watchdog, &QTimer::timeout, this, &HttpTransfer::checkSilence);
}

void HttpTransfer::checkSilence()
{
    if (!m_reply || m_reply->isFinished()) {
        m_watchdog->stop();
        return;
    }
    if (m_activity.elapsed() < m_timeoutMs)
        return;
    m_watchdog->stop();
    m_timedOut = true;
    // abort() finishes the reply at once, through the usual failure path.
    m_reply->abort();
}

HttpTransfer::~HttpTransfer()
{
    dropReply();
}

QString HttpTransfer::addressOn(const QString& host, const QString& pathAndQuery)
{
    QString base = host.trimmed();
    if (!base.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        && !base.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        base.prepend(QLatin1String("http://"));
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base + pathAndQuery;
}

QString HttpTransfer::decodePage(const QByteArray& body, const QByteArray& contentType)
{
    // The response's own word first, then the page's, then what the bytes show.
    for (const QByteArray& charset : {charsetIn(contentType), metaCharset(body)}) {
        if (charset.isEmpty())
            continue;
        QStringDecoder decoder(charset.constData());
        if (decoder.isValid())
            return decoder.decode(body);
    }
    // Bytes that are valid UTF-8 are UTF-8: Turkish letters in Windows-1254 almost never form valid UTF-8
    // sequences, and plain ASCII reads the same either way.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(body);
    if (!utf8.hasError())
        return text;
    QStringDecoder turkish("windows-1254");
    return turkish.decode(body);
}

QNetworkReply* HttpTransfer::startGet(const QString& address, const QList<std::pair<QByteArray, QByteArray>>& headers)
{
    dropReply();
    m_headerSeen = false;
    m_finished = false;
    m_buffer.clear();
    m_bufferPos = 0;
    m_connectionFailed = false;
    m_credentialsGiven = false;
    m_error.clear();

    // Blanks around an address cut from a page are no part of it.
    const QUrl url(address.trimmed());
    if (!url.isValid() || url.host().isEmpty()
        || (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))) {
        m_error = QStringLiteral("Geçersiz adres");
        return nullptr;
    }
    QNetworkRequest request(url);
    // Bytes are counted against Content-Length, so the body must come as it is sent.
    request.setRawHeader("Accept-Encoding", "identity");
    for (const auto& [name, value] : headers)
        request.setRawHeader(name, value);
    m_reply = m_manager->get(request);
    // Any arrival of data counts as an answer; the watchdog ends a transfer that stays silent too long.
    // (Qt's own transfer timeout restarts a timer for every packet, which costs a fast download dearly.)
    m_timedOut = false;
    m_activity.start();
    connect(m_reply, &QNetworkReply::downloadProgress, this, [this] { m_activity.start(); });
    if (m_timeoutMs > 0)
        m_watchdog->start(std::clamp(m_timeoutMs / 4, 20, 1000));
    return m_reply;
}

void HttpTransfer::OpenURL(const QString& url)
{
    m_url = url;
    m_page = true;
    QNetworkReply* reply = startGet(url, {});
    if (!reply) {
        const QString error = m_error;
        QMetaObject::invokeMethod(
            this, [this, error] { emit openFailed(error); }, Qt::QueuedConnection);
        return;
    }
    connect(reply, &QNetworkReply::finished, this, &HttpTransfer::onPageFinished);
}

bool HttpTransfer::isOpening() const
{
    return m_page && m_reply;
}

void HttpTransfer::onPageFinished()
{
    QNetworkReply* reply = m_reply;
    if (!reply)
        return;
    const bool ok = reply->error() == QNetworkReply::NoError;
    m_error = ok ? QString() : describeError();
    const QByteArray body = ok ? reply->readAll() : QByteArray();
    const QByteArray contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    m_reply = nullptr;
    reply->disconnect(this);
    reply->deleteLater();
    if (ok)
        emit pageOpened(decodePage(body, contentType));
    else
        emit openFailed(m_error);
}

bool HttpTransfer::Execute(const QString& operation, const QString& extraHeaders)
{
    if (operation != QLatin1String("GET")) {
        m_error = QStringLiteral("Yalnızca GET desteklenir");
        return false;
    }
    QList<std::pair<QByteArray, QByteArray>> headers;
    for (const QString& line : extraHeaders.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon > 0)
            headers.append({line.left(colon).trimmed().toLatin1(), line.mid(colon + 1).trimmed().toLatin1()});
    }
    m_page = false;
    // Credentials of an earlier request must not stand in for the ones given now (or for none).
    m_manager->clearAccessCache();
    QNetworkReply* reply = startGet(m_url, headers);
    if (!reply)
        return false;
    // The manager stops reading the socket while this much body waits unread, so a download of any size
    // holds only this much in memory.
    reply->setReadBufferSize(ReadBufferSize);
    connect(reply, &QNetworkReply::metaDataChanged, this, &HttpTransfer::onMetaData);
    connect(reply, &QNetworkReply::readyRead, this, &HttpTransfer::onReadyRead);
    connect(reply, &QNetworkReply::finished, this, &HttpTransfer::onFinished);
    return true;
}

bool HttpTransfer::StillExecuting() const
{
    return m_reply && !m_page && !m_headerSeen && !m_finished;
}

void HttpTransfer::markHeader()
{
    if (m_headerSeen)
        return;
    m_headerSeen = true;
    emit headerArrived();
}

void HttpTransfer::onMetaData()
{
    if (!m_reply)
        return;
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    // A redirection is followed by the manager; its own header is not the answer.
    if (status.isValid() && (status.toInt() < 300 || status.toInt() > 399))
        markHeader();
}

void HttpTransfer::onReadyRead()
{
    markHeader();
    if (m_reply)
        emit bodyDataArrived();
}

void HttpTransfer::onFinished()
{
    if (!m_reply)
        return;
    const QNetworkReply::NetworkError error = m_reply->error();
    const bool answered = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
    m_connectionFailed = error != QNetworkReply::NoError && !(answered && isAnswerError(error));
    if (m_connectionFailed)
        m_error = describeError();
    m_finished = true;
    // Without any header the request failed before the server answered: StillExecuting ends here too.
    if (answered)
        markHeader();
    else if (!m_headerSeen) {
        m_headerSeen = true;
        emit headerArrived();
    }
    if (m_reply)
        emit transferEnded();
}

void HttpTransfer::onAuthentication(QNetworkReply* reply, QAuthenticator* authenticator)
{
    // The credentials are offered once; refused again, the request ends with its 401.
    if (reply != m_reply || m_credentialsGiven || (m_userName.isEmpty() && m_password.isEmpty()))
        return;
    m_credentialsGiven = true;
    authenticator->setUser(m_userName);
    authenticator->setPassword(m_password);
}

QString HttpTransfer::describeError() const
{
    if (!m_reply)
        return m_error;
    const QNetworkReply::NetworkError error = m_reply->error();
    if (m_timedOut || error == QNetworkReply::TimeoutError)
        return QStringLiteral("Sunucu %1 saniye içinde yanıt vermedi").arg(m_timeoutMs / 1000.0);
    return m_reply->errorString();
}

QString HttpTransfer::GetHeader() const
{
    if (!m_reply)
        return {};
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return {};
    QString text = QStringLiteral("HTTP/1.1 ") + QString::number(status.toInt()) + QLatin1Char(' ')
        + m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    for (const auto& [name, value] : m_reply->rawHeaderPairs())
        text += QStringLiteral("\r\n") + QString::fromLatin1(name) + QStringLiteral(": ") + QString::fromLatin1(value);
    return text;
}

QString HttpTransfer::GetHeader(const QString& name) const
{
    if (!m_reply)
        return {};
    return QString::fromLatin1(m_reply->rawHeader(name.toLatin1()));
}

QByteArray HttpTransfer::GetChunk(qint64 size)
{
    // What has arrived is taken from the reply in one piece and handed out in chunks from here.
    if (m_bufferPos >= m_buffer.size()) {
        m_buffer = m_reply ? m_reply->readAll() : QByteArray();
        m_bufferPos = 0;
    }
    const QByteArray chunk = m_buffer.mid(m_bufferPos, size);
    m_bufferPos += chunk.size();
    return chunk;
}

QByteArray HttpTransfer::GetAvailable()
{
    QByteArray rest = m_bufferPos > 0 ? m_buffer.mid(m_bufferPos) : m_buffer;
    m_buffer.clear();
    m_bufferPos = 0;
    if (!m_reply)
        return rest;
    return rest.isEmpty() ? m_reply->readAll() : rest + m_reply->readAll();
}

qint64 HttpTransfer::bytesAvailable() const
{
    return (m_buffer.size() - m_bufferPos) + (m_reply ? m_reply->bytesAvailable() : 0);
}

void HttpTransfer::Cancel()
{
    dropReply();
    m_finished = true;
}

void HttpTransfer::dropReply()
{
    m_watchdog->stop();
    if (!m_reply)
        return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    // Deleting a reply stops its request; abort() would race with an error already on its way and warn.
    reply->deleteLater();
}

} // namespace zelvora
