// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/datafolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace zelvora::datafolder {

namespace {

const QString databaseName = QStringLiteral("veresiye.dll");

QString joined(const QString& folder, const QString& name)
{
    return QDir::toNativeSeparators(QDir(folder).filePath(name));
}

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

// The supplied file is written to a temporary file in the data folder and renamed only once complete, so an
// interrupted first start leaves no half-copied database. The rename refuses an existing target.
bool copySupplied(const QString& supplied, const QString& target, QString* error)
{
    const QString folder = QFileInfo(target).absolutePath();
    const QString cannotCopy = QStringLiteral("Veritabanı veri klasörüne kopyalanamadı: %1\n").arg(target);
    QFile source(supplied);
    if (!source.open(QIODevice::ReadOnly))
        return fail(error, cannotCopy + supplied + QStringLiteral(": ") + source.errorString());
    QTemporaryFile temporary(QDir(folder).filePath(databaseName + QStringLiteral(".XXXXXX")));
    if (!temporary.open())
        return fail(error, cannotCopy + temporary.errorString());
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(1 << 16);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError)
            return fail(error, cannotCopy + supplied + QStringLiteral(": ") + source.errorString());
        if (temporary.write(chunk) != chunk.size())
            return fail(error, cannotCopy + temporary.errorString());
    }
    if (!temporary.flush())
        return fail(error, cannotCopy + temporary.errorString());
#ifdef Q_OS_UNIX
    if (::fsync(temporary.handle()) != 0)
        return fail(error, cannotCopy + QString::fromLocal8Bit(std::strerror(errno)));
#endif
    // The shop's data is the user's alone: the temporary file is already readable and writable by its owner only.
    if (!temporary.rename(target)) {
        // Another copy of the program started at the same moment and put its database there first.
        if (QFileInfo::exists(target))
            return true;
        return fail(error, cannotCopy + temporary.errorString());
    }
    temporary.setAutoRemove(false);
    return true;
}

} // namespace

QString suppliedDatabase(const QString& executableFolder)
{
    return QDir::cleanPath(QDir(executableFolder).filePath(QStringLiteral(ZELVORA_SUPPLIED_FROM_BIN)))
        + QLatin1Char('/') + databaseName;
}

Mode modeFor(const QString& executableFolder)
{
    if (QFileInfo::exists(QDir(executableFolder).filePath(databaseName)))
        return Mode::BesideExecutable;
    if (QFileInfo::exists(suppliedDatabase(executableFolder)) || !QFileInfo(executableFolder).isWritable())
        return Mode::PerUser;
    return Mode::BesideExecutable;
}

bool prepare(const QString& folder, const QString& supplied, QString* error)
{
    if (folder.isEmpty())
        return fail(error, QStringLiteral("Veri klasörü belirlenemedi: ev klasörü bulunamadı."));
    std::error_code code;
    std::filesystem::create_directories(std::filesystem::path(folder.toStdU16String()), code);
    if (code || !QFileInfo(folder).isDir()) {
        const QString reason = code ? QString::fromLocal8Bit(code.message()) : QStringLiteral("klasör değil");
        return fail(
            error, QStringLiteral("Veri klasörü oluşturulamadı: %1\n%2").arg(QDir::toNativeSeparators(folder), reason));
    }
    const QString target = joined(folder, databaseName);
    if (QFileInfo::exists(target))
        return true;
    return copySupplied(supplied, target, error);
}

} // namespace zelvora::datafolder
