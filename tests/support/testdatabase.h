// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/database.h"

#include <QDate>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace zelvora::test {

// Turns the database into one made by the first version of the program: its indexes, user_version 1.
void makeFirstVersion(const Database& db);

// A fresh database made from the program's schema: a file in its own temporary program folder, or (PostgreSQL) a
// fresh database on the tests' private server (PgServer), with the same temporary program folder. The program
// folder and the backup folder of AppConfig point into that folder while it lives. When the server cannot be
// started the constructor throws with the reason, so the test fails rather than being skipped.
class TestDatabase final
{
public:
    explicit TestDatabase(const QString& version = QStringLiteral("1.0.0"));
    explicit TestDatabase(Engine engine, const QString& version = QStringLiteral("1.0.0"));
    ~TestDatabase();

    Database& db() const { return *m_db; }
    Engine engine() const { return m_target.engine; }
    const DatabaseTarget& target() const { return m_target; }
    // Another connection to the same ledger, as another till (or thread) has it.
    std::unique_ptr<Database> openAnother() const;
    QString path() const; // the file (SQLite)
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
    DatabaseTarget m_target;
    std::unique_ptr<Database> m_db;
};

// For suites that run on both engines: TEST_P over a fixture derived from EngineTest, and
// INSTANTIATE_TEST_SUITE_P(Engines, Fixture, test::kEngines, test::engineName).
class EngineTest : public ::testing::TestWithParam<Engine>
{
};
inline const auto kEngines = ::testing::Values(Engine::SQLite, Engine::PostgreSQL);
std::string engineName(const ::testing::TestParamInfo<Engine>& info);

} // namespace zelvora::test
