// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/database.h"

#include <QDate>
#include <QTemporaryDir>
#include <memory>

namespace zelvora::test {

// Turns the database into one made by the first version of the program: its indexes, user_version 1.
void makeFirstVersion(const Database& db);

// A fresh database file, made from the program's schema, in its own temporary program folder.
// The program folder and the backup folder of AppConfig point into it while it lives.
class TestDatabase final
{
public:
    explicit TestDatabase(const QString& version = QStringLiteral("1.0.0"));
    ~TestDatabase();

    Database& db() const { return *m_db; }
    QString path() const;
    QString folder() const { return m_dir.path(); }

    // Closes and reopens the file (to see it as a new window would).
    void reopen();
    void close();

    // Turns the file into one made by the first version of the program: its indexes, user_version 1.
    void makeVersion1() { makeFirstVersion(*m_db); }

    // Adds a customer row as another tool would (no sort keys); returns its id.
    qint64 addCustomer(const QString& musKodu, const QString& name, const QString& turu = QStringLiteral("Alıcı"),
                       const QVariant& bakiyeKurus = {}, const QVariant& sonislem = {});
    // Adds a movement; amounts in kuruş or null.
    qint64 addMovement(const QString& musKodu, const QDate& date, const QVariant& eklenenKurus,
                       const QVariant& odenenKurus, const QString& aciklama = QStringLiteral("-"));

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_db;
};

} // namespace zelvora::test
