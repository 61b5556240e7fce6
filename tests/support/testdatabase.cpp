// SPDX-License-Identifier: GPL-3.0-or-later
#include "testdatabase.h"

#include "pgserver.h"

#include "data/appconfig.h"
#include "data/dateformat.h"
#include "data/schema.h"
#include "users/passwordhash.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <stdexcept>

namespace zelvora::test {

TestDatabase::TestDatabase(const QString& version)
    : TestDatabase(Engine::SQLite, version)
{
}

TestDatabase::TestDatabase(Engine engine, const QString& version)
{
    if (!m_dir.isValid())
        throw std::runtime_error("no temporary folder");
    QString error;
    if (engine == Engine::PostgreSQL) {
        PgServer* server = PgServer::instance(&error);
        ServerSettings settings;
        if (!server || !server->createDatabase(&settings, &error))
            throw std::runtime_error(error.toStdString());
        m_target = DatabaseTarget::postgres(settings);
    } else {
        QFile file(path());
        file.open(QIODevice::WriteOnly);
        m_target = DatabaseTarget::file(path());
    }
    m_db = Database::open(m_target, &error);
    if (!m_db || !schema::create(*m_db, &error))
        throw std::runtime_error(error.toStdString());
    m_db->exec(QStringLiteral("INSERT INTO surum (surum) VALUES (?)"), {version});
    AppConfig::setProgramFolder(m_dir.path());
    AppConfig::setBackupFolder(QDir(m_dir.path()).filePath(QStringLiteral("VeresiyeYedekleri")));
}

TestDatabase::~TestDatabase()
{
    m_db.reset();
    AppConfig::setProgramFolder({});
    AppConfig::setBackupFolder({});
}

QString TestDatabase::path() const
{
    return QDir(m_dir.path()).filePath(QStringLiteral("veresiye.dll"));
}

void TestDatabase::reopen()
{
    m_db.reset();
    m_db = Database::open(m_target);
}

std::unique_ptr<Database> TestDatabase::openAnother() const
{
    QString error;
    auto db = Database::open(m_target, &error);
    if (!db)
        throw std::runtime_error(error.toStdString());
    return db;
}

std::string engineName(const ::testing::TestParamInfo<Engine>& info)
{
    return info.param == Engine::PostgreSQL ? "PostgreSQL" : "SQLite";
}

void TestDatabase::close()
{
    m_db.reset();
}

void makeFirstVersion(const Database& db)
{
    for (const char* statement :
         {"DROP INDEX musteriler_ad_sirasi", "DROP INDEX musteriler_anahtarsiz", "DROP INDEX musteriler_gun_farki",
          "DROP INDEX veresiye_toplam", "DROP TRIGGER liste_toplami_ekle", "DROP TRIGGER liste_toplami_sil",
          "DROP TRIGGER liste_toplami_degisti", "DROP TABLE liste_toplami",
          "CREATE INDEX musteriler_sira ON musteriler (sira_anahtari, id)",
          "CREATE INDEX musteriler_arama ON musteriler (arama_anahtari)",
          "ALTER TABLE musteriler DROP COLUMN KrediLimiti", "ALTER TABLE veresiye DROP COLUMN Kullanici",
          "ALTER TABLE veresiye DROP COLUMN Kayit", "DROP INDEX musteriler_tahsilat", "DROP INDEX veresiye_odeme",
          "DROP INDEX veresiye_musteri_tarih", "ALTER TABLE musteriler DROP COLUMN BeklemeTarihi",
          "PRAGMA user_version = 1"}) {
        if (!db.exec(QString::fromLatin1(statement)))
            qFatal("%s failed", statement);
    }
}

qint64 TestDatabase::addCustomer(const QString& musKodu, const QString& name, const QString& turu,
                                 const QVariant& bakiyeKurus, const QVariant& sonislem)
{
    QString error;
    const qint64 id = m_db->insert(
        QStringLiteral(
            "INSERT INTO musteriler (mus_kodu, MusteriFirma, Turu, Bakiye, Sonislem) VALUES (?, ?, ?, ?, ?)"),
        {musKodu, name, turu, bakiyeKurus,
         sonislem.typeId() == QMetaType::QDate ? QVariant(dates::isoDate(sonislem.toDate())) : sonislem},
        &error);
    if (id < 0)
        throw std::runtime_error(error.toStdString());
    return id;
}

qint64 TestDatabase::addMovement(const QString& musKodu, const QDate& date, const QVariant& eklenenKurus,
                                 const QVariant& odenenKurus, const QString& aciklama)
{
    QString error;
    const qint64 id
        = m_db->insert(QStringLiteral("INSERT INTO veresiye (mus_kodu, Tarih, Saat, Aciklama, Eklenen, Odenen) "
                                      "VALUES (?, ?, '12:00:00', ?, ?, ?)"),
                       {musKodu, dates::isoDate(date), aciklama, eklenenKurus, odenenKurus}, &error);
    if (id < 0)
        throw std::runtime_error(error.toStdString());
    return id;
}

} // namespace zelvora::test
