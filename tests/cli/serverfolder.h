// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/appconfig.h"
#include "data/database.h"
#include "pgserver.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <stdexcept>

namespace zelvora::test {

// A program folder whose zelvora.ini holds the given [database] lines.
class ProgramFolder
{
public:
    explicit ProgramFolder(const QString& databaseSection)
    {
        QFile ini(QDir(m_dir.path()).filePath(QStringLiteral("zelvora.ini")));
        if (!ini.open(QIODevice::WriteOnly))
            throw std::runtime_error("zelvora.ini");
        ini.write("[database]\n" + databaseSection.toUtf8());
        ini.close();
        AppConfig::setProgramFolder(m_dir.path());
    }
    ~ProgramFolder() { AppConfig::setProgramFolder({}); }

private:
    QTemporaryDir m_dir;
};

inline QString iniFor(const ServerSettings& s)
{
    return QStringLiteral("engine=postgresql\nhost=%1\nport=%2\nname=%3\nuser=%4\npassword=\nsslmode=disable\n")
        .arg(s.host)
        .arg(s.port)
        .arg(s.name, s.user);
}

// A fresh empty database on the tests' server; throws with the reason when there is none.
inline ServerSettings emptyDatabase()
{
    QString error;
    PgServer* server = PgServer::instance(&error);
    ServerSettings settings;
    if (!server || !server->createDatabase(&settings, &error))
        throw std::runtime_error(error.toStdString());
    return settings;
}

} // namespace zelvora::test
