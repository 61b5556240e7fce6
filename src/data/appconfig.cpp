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
    Engine engine = Engine::SQLite;
    ServerSettings server;
    QString databaseError;
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

    // A value with a comma reads as a list; it is the text as written.
    const auto setting = [&](const QString& key, const QString& fallback) {
        const QVariant value = settings.value(key);
        if (!value.isValid())
            return fallback;
        return value.typeId() == QMetaType::QStringList ? value.toStringList().join(QLatin1Char(','))
                                                        : value.toString().trimmed();
    };
    s.shopName = setting(QStringLiteral("dukkan/ad"), QString());
    const auto text = [&](const char* key, const QString& fallback) {
        return setting(QLatin1String("database/") + QLatin1String(key), fallback);
    };
    const ServerSettings defaults;
    s.databaseError.clear();
    const QString engine = text("engine", QString()).toLower();
    if (engine.isEmpty() || engine == QLatin1String("sqlite")) {
        s.engine = Engine::SQLite;
    } else if (engine == QLatin1String("postgresql")) {
        s.engine = Engine::PostgreSQL;
    } else {
        s.engine = Engine::SQLite;
        s.databaseError
            = QStringLiteral("zelvora.ini: [database] engine=%1 tanınmıyor (sqlite ya da postgresql olmalı).")
                  .arg(engine);
    }
    s.server.host = text("host", defaults.host);
    s.server.name = text("name", defaults.name);
    s.server.user = text("user", defaults.user);
    s.server.password = text("password", QString());
    s.server.sslmode = text("sslmode", defaults.sslmode);
    const QString port = text("port", QString::number(defaults.port));
    bool portOk = false;
    s.server.port = port.toInt(&portOk);
    if (!portOk || s.server.port < 1 || s.server.port > 65535) {
        s.server.port = defaults.port;
        if (s.engine == Engine::PostgreSQL && s.databaseError.isEmpty())
            s.databaseError
                = QStringLiteral("zelvora.ini: [database] port=%1 geçerli bir kapı numarası değil.").arg(port);
    }
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

Engine AppConfig::databaseEngine()
{
    return loaded().engine;
}

ServerSettings AppConfig::serverSettings()
{
    return loaded().server;
}

DatabaseTarget AppConfig::databaseTarget()
{
    return databaseEngine() == Engine::PostgreSQL ? DatabaseTarget::postgres(serverSettings())
                                                  : DatabaseTarget::file(databasePath());
}

QString AppConfig::databaseSettingsError()
{
    return loaded().databaseError;
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
