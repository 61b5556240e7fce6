// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/turkishtext.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace zelvora;

namespace {

// SQLite's order of two stored texts (BINARY collation), -1, 0 or 1.
int sqliteOrder(const QString& a, const QString& b)
{
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "SELECT (?1 > ?2) - (?1 < ?2)", -1, &s, nullptr);
    const QByteArray x = a.toUtf8();
    const QByteArray y = b.toUtf8();
    sqlite3_bind_text(s, 1, x.constData(), int(x.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(s, 2, y.constData(), int(y.size()), SQLITE_TRANSIENT);
    sqlite3_step(s);
    const int order = sqlite3_column_int(s, 0);
    sqlite3_finalize(s);
    sqlite3_close(db);
    return order;
}

} // namespace

// The customer list is sorted by the database, the user list and the export by the program: both must put the
// same names in the same order, also names with characters beyond U+FFFF (an emoji) or above the letters' keys.
TEST(TurkishSortKeys, ProgramOrdersKeysAsTheDatabaseDoes)
{
    const char* const pairs[][2] = {
        {"😀 Kafe", "？Market"}, {"😀", "Ahmet"},       {"Çiçek", "Cemil"}, {"ışık", "İnci"},
        {"Zeynep", "Ömer"},     {"1. Bakkal", "Ali"}, {"ali", "ALİ"},     {"𝔸", "😀"},
    };
    for (const auto& pair : pairs) {
        const QString a = turkish::sortKey(QString::fromUtf8(pair[0]));
        const QString b = turkish::sortKey(QString::fromUtf8(pair[1]));
        const int program = turkish::compareSortKeys(a, b);
        EXPECT_EQ((program > 0) - (program < 0), sqliteOrder(a, b)) << pair[0] << " / " << pair[1];
        EXPECT_EQ(turkish::sortKeyLess(a, b), sqliteOrder(a, b) < 0) << pair[0] << " / " << pair[1];
    }
    EXPECT_TRUE(
        turkish::sortKeyLess(turkish::sortKey(QStringLiteral("Cemil")), turkish::sortKey(QStringLiteral("Çiçek"))));
    EXPECT_EQ(
        turkish::compareSortKeys(turkish::sortKey(QStringLiteral("ali")), turkish::sortKey(QStringLiteral("ALİ"))), 0);
}
