// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QRectF>
#include <QStringList>
#include <QVector>

namespace zelvora::test {

// The text of each page of a PDF as pdftotext reads it (physical layout), or nothing when it cannot.
QStringList pdfPages(const QString& path);

// A word of a PDF as pdftotext places it: its page (from 0) and its box in points from the top left.
struct PdfWord
{
    QString text;
    int page = 0;
    QRectF box;
};

struct PdfWords
{
    QVector<QSizeF> pageSizes; // in points
    QVector<PdfWord> words; // in reading order
};

// Every word of a PDF with its box (pdftotext -bbox), or nothing when it cannot be read.
PdfWords pdfWords(const QString& path);

// A page rendered by pdftoppm at dpi, without smoothing, so drawn colours stay exact.
QImage pdfPageImage(const QString& path, int page, int dpi);

// Text with every run of blanks removed, to find "1/3" however the columns were spaced.
QString withoutBlanks(const QString& text);

} // namespace zelvora::test
