// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

namespace zelvora::fuzz {

using CsvRow = QList<QByteArray>;

// Reads CSV as RFC 4180 has it, with ";" between fields and CR LF ending each record; nothing for text that
// is not well-formed (a stray quote, an open quoted field, a record not ended).
inline std::optional<QList<CsvRow>> parseCsv(const QByteArray& text)
{
    QList<CsvRow> rows;
    CsvRow row;
    QByteArray field;
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i] == '"') {
            ++i;
            for (;;) {
                if (i >= text.size())
                    return std::nullopt;
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
            if (i < text.size() && text[i] != ';' && text[i] != '\r')
                return std::nullopt;
            continue;
        }
        if (text[i] == ';') {
            row.append(field);
            field.clear();
            ++i;
        } else if (text[i] == '\r') {
            if (i + 1 >= text.size() || text[i + 1] != '\n')
                return std::nullopt;
            row.append(field);
            field.clear();
            rows.append(row);
            row.clear();
            i += 2;
        } else if (text[i] == '\n') {
            return std::nullopt;
        } else {
            field += text[i++];
        }
    }
    if (!row.isEmpty() || !field.isEmpty())
        return std::nullopt;
    return rows;
}

} // namespace zelvora::fuzz
