// SPDX-License-Identifier: GPL-3.0-or-later
#include "backupfixture.h"
#include "cli/csvexport.h"
#include "clirun.h"
#include "testdatabase.h"

#include <QDir>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zelvora;
using namespace zelvora::test;

namespace {

// RFC 4180 with ";" between fields, read the way a spreadsheet reads it.
QList<QStringList> readCsv(const QString& text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(';')) {
            row.append(field);
            field.clear();
        } else if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) {
            row.append(field);
            rows.append(row);
            row.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    EXPECT_TRUE(field.isEmpty() && row.isEmpty()) << "the last line must end with CR LF";
    return rows;
}

} // namespace

TEST(CsvField, QuotedOnlyWhenItMustBe)
{
    const struct
    {
        const char* in;
        const char* out;
    } cases[] = {{"Ayşe", "Ayşe;"},         {"", ";"},      {"a;b", "\"a;b\";"}, {"17\" ekran", "\"17\"\" ekran\";"},
                 {"a\r\nb", "\"a\r\nb\";"}, {"a,b", "a,b;"}};
    for (const auto& c : cases) {
        QByteArray line;
        cli::appendCsvField(line, c.in, qstrlen(c.in));
        EXPECT_EQ(line, QByteArray(c.out)) << c.in;
    }
    const struct
    {
        qint64 kurus;
        const char* out;
    } amounts[] = {{0, "0,00"}, {5, "0,05"}, {123456, "1.234,56"}, {-123456789, "-1.234.567,89"}, {100000, "1.000,00"}};
    for (const auto& a : amounts) {
        QByteArray line;
        cli::appendMoney(line, a.kurus);
        EXPECT_EQ(line, QByteArray(a.out));
    }
}

TEST(CsvExport, CustomersAndMovementsReadBackWithTurkishLettersAndQuotesIntact)
{
    TestDatabase t;
    t.addCustomer(QStringLiteral("3"), QStringLiteral("İnci \"Tuhafiye\"; Şube"), QStringLiteral("Satıcı"), -123456,
                  QDate(2009, 3, 1));
    t.addCustomer(QStringLiteral("1"), QStringLiteral("Cem"), QStringLiteral("Alıcı"), 1500, {});
    t.addCustomer(QStringLiteral("2"), QStringLiteral("çiğdem"), QStringLiteral("Alıcı"), {}, {});
    t.addCustomer(QStringLiteral("4"), QStringLiteral("Ilgaz"), QStringLiteral("Alıcı"), {}, {});
    t.db().exec(QStringLiteral("UPDATE musteriler SET Adres = ? WHERE mus_kodu = '3'"),
                {QStringLiteral("Atatürk Cd. 5\r\nKat 2")});
    t.addMovement(QStringLiteral("3"), QDate(2009, 3, 1), 200000, {}, QStringLiteral("Kumaş, 2 top"));
    t.addMovement(QStringLiteral("1"), QDate(2009, 3, 2), {}, 1500, QStringLiteral("Ödeme"));
    t.addMovement(QStringLiteral("3"), QDate(2009, 3, 4), {}, 76544, QStringLiteral("\"Peşin\""));
    t.addMovement(QStringLiteral("9"), QDate(2009, 3, 5), 100, {}, QStringLiteral("sahipsiz"));
    t.db().exec(QStringLiteral("UPDATE veresiye SET Miktar = 2.5, Birim = 'Top', KDV = 1.18 WHERE id = 1"));
    t.db().exec(QStringLiteral("UPDATE veresiye SET Miktar = -0.125, KDV = 1.0 WHERE id = 2"));
    QTemporaryDir out;

    const QString customers = QDir(out.path()).filePath(QStringLiteral("müşteriler.csv"));
    CliRun r = runCli({QStringLiteral("--export"), QStringLiteral("customers"), customers});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("4 satır yazıldı: %1\n").arg(customers));
    QByteArray bytes = readBytes(customers);
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    QList<QStringList> rows = readCsv(QString::fromUtf8(bytes.mid(3)));
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows.at(0).join(QLatin1Char('|')),
              QStringLiteral("Müşteri No|Müşteri / Firma|Türü|Telefon|GSM|Şehir|Adres|Vergi Dairesi|Vergi No|Bakiye|"
                             "Son İşlem|Gün"));
    QStringList names;
    for (qsizetype i = 1; i < rows.size(); ++i)
        names.append(rows.at(i).at(1));
    // Turkish order: C Ç ... I İ.
    EXPECT_EQ(names,
              (QStringList {QStringLiteral("Cem"), QStringLiteral("çiğdem"), QStringLiteral("Ilgaz"),
                            QStringLiteral("İnci \"Tuhafiye\"; Şube")}));
    const QStringList inci = rows.at(4);
    EXPECT_EQ(inci.at(0), QStringLiteral("3"));
    EXPECT_EQ(inci.at(2), QStringLiteral("Satıcı"));
    EXPECT_EQ(inci.at(6), QStringLiteral("Atatürk Cd. 5\r\nKat 2"));
    EXPECT_EQ(inci.at(9), QStringLiteral("-1.234,56"));
    EXPECT_EQ(inci.at(10), QStringLiteral("01.03.2009"));
    EXPECT_EQ(rows.at(1).at(9), QStringLiteral("15,00"));
    EXPECT_EQ(rows.at(2).at(9), QString()); // never opened: no balance yet

    const QString movements = QDir(out.path()).filePath(QStringLiteral("hareketler.csv"));
    r = runCli({QStringLiteral("--export"), QStringLiteral("movements"), movements});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    rows = readCsv(QString::fromUtf8(readBytes(movements).mid(3)));
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows.at(0).join(QLatin1Char('|')),
              QStringLiteral("Müşteri No|Müşteri / Firma|Tarih|Saat|Açıklama|Miktar|Birim|KDV|Eklenen|Ödenen"));
    // By customer in name order, then entry order; a movement whose customer is gone comes last.
    EXPECT_EQ(rows.at(1),
              (QStringList {QStringLiteral("1"),
                            QStringLiteral("Cem"),
                            QStringLiteral("02.03.2009"),
                            QStringLiteral("12:00:00"),
                            QStringLiteral("Ödeme"),
                            QStringLiteral("-0,125"),
                            {},
                            QStringLiteral("1"),
                            {},
                            QStringLiteral("15,00")}));
    EXPECT_EQ(rows.at(2),
              (QStringList {QStringLiteral("3"),
                            QStringLiteral("İnci \"Tuhafiye\"; Şube"),
                            QStringLiteral("01.03.2009"),
                            QStringLiteral("12:00:00"),
                            QStringLiteral("Kumaş, 2 top"),
                            QStringLiteral("2,5"),
                            QStringLiteral("Top"),
                            QStringLiteral("1,18"),
                            QStringLiteral("2.000,00"),
                            {}}));
    EXPECT_EQ(rows.at(3).at(4), QStringLiteral("\"Peşin\""));
    EXPECT_EQ(rows.at(3).at(9), QStringLiteral("765,44"));
    EXPECT_EQ(rows.at(4).mid(0, 3), (QStringList {QStringLiteral("9"), QString(), QStringLiteral("05.03.2009")}));
}

TEST(CsvExport, AFileThatCannotBeWrittenIsAnErrorAndLeavesNothing)
{
    TestDatabase t;
    QTemporaryDir out;
    const QString target = QDir(out.path()).filePath(QStringLiteral("yok/klasor/m.csv"));
    const CliRun r = runCli({QStringLiteral("--export"), QStringLiteral("customers"), target});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("zelvora: Dosya yazılamadı: ")));
    EXPECT_FALSE(QFileInfo::exists(target));
}
