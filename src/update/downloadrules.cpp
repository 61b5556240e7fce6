// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/downloadrules.h"

#include <QDir>
#include <QStandardPaths>

#include <cerrno>
#include <unistd.h>

namespace zelvora::download {

namespace {

QString& folderOverride()
{
    static QString folder;
    return folder;
}

} // namespace

QString UrlFileName(const QString& address)
{
    if (address.size() < 2)
        return {};
    if (!address.startsWith(QLatin1String("http://")) || address == QLatin1String("http://"))
        return {};
    // The last character is not examined, so an address ending in "/" names a folder.
    const qsizetype slash = address.lastIndexOf(QLatin1Char('/'), address.size() - 2);
    const QString candidate = address.mid(slash + 1);
    if (candidate.size() < 2)
        return {};
    if (candidate.lastIndexOf(QLatin1Char('.'), candidate.size() - 2) < 0)
        return {};
    return candidate;
}

bool isPlainFileName(QStringView name)
{
    if (name.isEmpty() || name == u"." || name == u"..")
        return false;
    for (const QChar c : name)
        if (c == u'/' || c == u'\\' || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    return true;
}

std::optional<QString> savedFileName(const QString& address)
{
    // Blanks that pad the address on the page are no part of the name.
    const QString name = UrlFileName(address).trimmed();
    if (!isPlainFileName(name))
        return std::nullopt;
    return name;
}

std::optional<QString> savedFilePath(const QString& folder, const QString& address)
{
    const auto name = savedFileName(address);
    if (!name)
        return std::nullopt;
    return folder.endsWith(QLatin1Char('/')) ? folder + *name : folder + QLatin1Char('/') + *name;
}

int writeAll(int fd, QByteArrayView bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        // A write that takes nothing would only repeat itself.
        if (n == 0)
            return EIO;
        done += n;
    }
    return 0;
}

QString writeFailure(int errorNumber)
{
    QString reason;
    switch (errorNumber) {
    case ENOSPC:
    case EDQUOT:
        reason = QStringLiteral("Diskte boş yer kalmadı");
        break;
    case EFBIG:
        reason = QStringLiteral("Dosya, izin verilen en büyük dosya boyutunu aştı");
        break;
    default:
        reason = qt_error_string(errorNumber);
    }
    return QStringLiteral("Dosya Diske Yüklenmedi.\r\rError ") + QString::number(errorNumber) + QStringLiteral(": ")
        + reason;
}

QString statusText(const QString& headerText)
{
    return headerText.mid(9, 3);
}

std::optional<QString> statusError(const QString& status, const QString& headerText, const QString& url)
{
    if (status == QLatin1String("200") || status == QLatin1String("206"))
        return std::nullopt;
    if (status == QLatin1String("204"))
        return QStringLiteral("Hiçbir şey indirmedi! ");
    if (status == QLatin1String("401"))
        return QStringLiteral("Otorite başarısız oldu! ");
    if (status == QLatin1String("404"))
        return QStringLiteral("Serverda, \"") + url + QStringLiteral("\" isimli bir dosya yok.");
    if (status == QLatin1String("\r\n"))
        return QStringLiteral("İnternet Bağlantısı yok");
    const qsizetype cr = headerText.indexOf(QLatin1Char('\r'));
    const QString line = cr < 0 ? QStringLiteral("<nothing>") : headerText.left(cr + 1);
    return QStringLiteral("Servisçi, takip eden yanıt döndü: İnternet bağlantısını kontrol edin.\r\r") + line;
}

qint64 contentLength(const QString& value)
{
    const QString text = value.trimmed();
    qsizetype digits = 0;
    while (digits < text.size() && text.at(digits).isDigit() && text.at(digits).unicode() < 128)
        ++digits;
    bool ok = false;
    const qint64 length = text.left(digits).toLongLong(&ok);
    return ok ? length : 0;
}

int progressPercent(qint64 received, qint64 announced)
{
    if (announced <= 0)
        return 0;
    // Whole numbers only: this runs for every 1024 bytes. Exact up to files of about 92 PB.
    const qint64 scaled = received * 100;
    qint64 percent = scaled / announced;
    const qint64 twiceRest = 2 * (scaled % announced);
    if (twiceRest > announced || (twiceRest == announced && percent % 2 == 1))
        ++percent;
    return static_cast<int>(percent);
}

QString destinationFolder()
{
    if (!folderOverride().isEmpty())
        return folderOverride();
#ifdef Q_OS_WIN
    return QStringLiteral("c:\\");
#else
    return QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
#endif
}

void setDestinationFolder(const QString& folder)
{
    folderOverride() = folder;
}

QString destinationFolderForMessage()
{
#ifdef Q_OS_WIN
    if (folderOverride().isEmpty())
        return QStringLiteral("C:\\");
#endif
    return QDir::toNativeSeparators(destinationFolder());
}

} // namespace zelvora::download
