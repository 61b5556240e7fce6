// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/appconfig.h"

#include "data/datafolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <optional>

namespace zelvora {

namespace {

struct State
{
    QString programFolder;
    QString executableFolder;
    std::optional<bool> installed;
    QString backupFolder;
    QString makerAddress;
    QString makerHost;
    QString bankHost;
    QString shopName;
    bool loaded = false;
};

State& state()
{
    static State s;
    return s;
}

void load()
{
    State& s = state();
    s.loaded = true;
    const QString ini = QDir(AppConfig::programFolder()).filePath(QStringLiteral("zelvora.ini"));
    QSettings settings(ini, QSettings::IniFormat);
    s.makerAddress = settings.value(QStringLiteral("maker/address"), QStringLiteral("www.zelvora.example")).toString();
    s.makerHost = settings.value(QStringLiteral("maker/host"), QStringLiteral("www.zelvora.example")).toString();
    s.bankHost = settings.value(QStringLiteral("bank/host"), QStringLiteral("www.tcmb.gov.tr")).toString();
    s.shopName = settings.value(QStringLiteral("dukkan/ad")).toString().trimmed();
}

const State& loaded()
{
    if (!state().loaded)
        load();
    return state();
}

} // namespace

QString AppConfig::programFolder()
{
    const QString& folder = state().programFolder;
    if (!folder.isEmpty())
        return folder;
    if (installed())
        return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return executableFolder();
}

void AppConfig::setProgramFolder(const QString& folder)
{
    state().programFolder = folder;
    state().loaded = false;
}

QString AppConfig::executableFolder()
{
    const QString& folder = state().executableFolder;
    return folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder;
}

void AppConfig::setExecutableFolder(const QString& folder)
{
    state().executableFolder = folder;
    state().installed.reset();
    state().loaded = false;
}

bool AppConfig::installed()
{
    if (!state().programFolder.isEmpty())
        return false;
    // Decided once: the first start's copy into the data folder must not change where later calls look.
    if (!state().installed)
        state().installed = datafolder::modeFor(executableFolder()) == datafolder::Mode::PerUser;
    return *state().installed;
}

QString AppConfig::suppliedDatabasePath()
{
    return datafolder::suppliedDatabase(executableFolder());
}

bool AppConfig::prepareProgramFolder(QString* error)
{
    if (!installed())
        return true;
    return datafolder::prepare(programFolder(), suppliedDatabasePath(), error);
}

QString AppConfig::databasePath()
{
    return QDir::toNativeSeparators(QDir(programFolder()).filePath(QStringLiteral("veresiye.dll")));
}

QString AppConfig::lockFilePath()
{
    return QDir(programFolder()).filePath(QStringLiteral("veresiye.lock"));
}

QString AppConfig::backupFolder()
{
    const QString& folder = state().backupFolder;
    if (!folder.isEmpty())
        return folder;
    return QDir::toNativeSeparators(QDir::home().filePath(QStringLiteral("VeresiyeYedekleri")));
}

void AppConfig::setBackupFolder(const QString& folder)
{
    state().backupFolder = folder;
}

QString AppConfig::shopName()
{
    return loaded().shopName;
}

QString AppConfig::makerAddress()
{
    return loaded().makerAddress;
}

QString AppConfig::makerHost()
{
    return loaded().makerHost;
}

QString AppConfig::bankHost()
{
    return loaded().bankHost;
}

void AppConfig::reload()
{
    load();
}

} // namespace zelvora
