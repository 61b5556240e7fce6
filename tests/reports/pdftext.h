#pragma once

#include <QImage>
#include <QStringList>

namespace zelvora::test {

// The text of each page of a PDF as pdftotext reads it (physical layout), or nothing when it cannot.
QStringList pdfPages(const QString& path);

// A page rendered by pdftoppm at dpi, without smoothing, so drawn colours stay exact.
QImage pdfPageImage(const QString& path, int page, int dpi);

// Text with every run of blanks removed, to find "1/3" however the columns were spaced.
QString withoutBlanks(const QString& text);

} // namespace zelvora::test
