// SPDX-License-Identifier: GPL-3.0-or-later
// The CSV writer: any cells and amounts, written as the export writes a record, parse back (RFC 4180, ";")
// into the same cells, and the amounts read back as the same kuruş.
#include "cli/csvexport.h"
#include "csvparse.h"
#include "data/numberformat.h"
#include "fuzzsupport.h"

using namespace zelvora;
using fuzz::check;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input in(data, size);
    const qint64 kurus = in.take<qint64>();
    QList<QByteArray> cells;
    QByteArray text;
    for (int records = 0; records < 3 && !in.empty(); ++records) {
        // Every field ends in ";", the record's last one in CR LF.
        QByteArray line;
        for (int n = in.takeIn(1, 6); n > 0; --n) {
            const QByteArray cell = in.takeField();
            cli::appendCsvField(line, cell.constData(), cell.size());
            cells.append(cell);
        }
        cli::appendMoney(line, kurus);
        line.append(';');
        cells.append(numbers::totals(kurus).toUtf8());
        line.chop(1);
        text += line + "\r\n";
    }
    const auto rows = fuzz::parseCsv(text);
    check(rows.has_value(), "written CSV is well-formed", QString::fromLatin1(text.toPercentEncoding()));
    QList<QByteArray> back;
    for (const fuzz::CsvRow& row : *rows) {
        back += row;
        check(numbers::readKurus(QString::fromUtf8(row.last())) == kurus, "an amount reads back as the same kuruş",
              QString::fromUtf8(row.last()));
    }
    check(back == cells, "cells parse back as written", QString::fromLatin1(text.toPercentEncoding()));
    return 0;
}
