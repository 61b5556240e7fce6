// SPDX-License-Identifier: GPL-3.0-or-later
// The raw baseline of startup_bench: the least a process must do to show the customer grid's first screen. It
// opens the database with SQLite alone, counts the customers and reads the first 128 rows in name order (the
// stored sort key's index), prints "<count> <rows read>" on one line and ends.
// Usage: startup_rawread <database file>
#include <sqlite3.h>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return 1;
    long long customers = -1;
    int rows = 0;
    sqlite3_stmt* count = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT count(*) FROM musteriler", -1, &count, nullptr) == SQLITE_OK
        && sqlite3_step(count) == SQLITE_ROW)
        customers = sqlite3_column_int64(count, 0);
    sqlite3_finalize(count);
    sqlite3_stmt* page = nullptr;
    if (sqlite3_prepare_v2(db,
                           "SELECT id, Turu, mus_kodu, MusteriFirma, Sonislem, Gun, Bakiye FROM musteriler "
                           "ORDER BY sira_anahtari, id LIMIT 128",
                           -1, &page, nullptr)
        == SQLITE_OK) {
        while (sqlite3_step(page) == SQLITE_ROW) {
            // Every cell is fetched, as a grid would show it.
            for (int column = 0; column < 7; ++column)
                if (sqlite3_column_text(page, column) == nullptr && sqlite3_column_type(page, column) != SQLITE_NULL)
                    return 1;
            ++rows;
        }
    }
    sqlite3_finalize(page);
    sqlite3_close(db);
    std::printf("%lld %d\n", customers, rows);
    return customers >= 0 ? 0 : 1;
}
