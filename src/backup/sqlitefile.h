// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct sqlite3;

namespace zelvora {

// One SQLite connection of its own, straight on the engine: opened read-only for looking at a file without
// changing it, and creating one only when asked to. Used to check files and to read large tables quickly.
class SqliteFile final
{
public:
    enum class Mode { ReadOnly, ReadWrite, Create };

    SqliteFile(const QString& path, Mode mode, int busyTimeoutMs = 5000);
    ~SqliteFile();
    Q_DISABLE_COPY_MOVE(SqliteFile)

    bool isOpen() const { return m_open; }
    sqlite3* handle() const { return m_db; }
    QString error() const;

    // SQLite's extended result code of the last failed call.
    int extendedError() const;

    // Runs statements without values; false with the engine's text.
    bool exec(const QString& sql, QString* error = nullptr) const;

    // Every row of a query as texts (NULL as a null QString); false with the engine's text.
    bool rows(const QString& sql, const QStringList& values, QList<QStringList>* out, QString* error = nullptr) const;

private:
    sqlite3* m_db = nullptr;
    bool m_open = false;
    int m_rc = 0;
};

} // namespace zelvora
