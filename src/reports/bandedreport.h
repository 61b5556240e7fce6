// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "reports/reportlayout.h"

#include <QHash>
#include <QSizeF>
#include <QStringList>
#include <QVector>
#include <functional>

class QPagedPaintDevice;

namespace zelvora {

// A banded report on QPainter: a layout, the captions of its labels and the rows of its data source.
// Printing runs two passes: the first lays the bands out on pages, the second paints them with the page
// total known.
class BandedReport final
{
public:
    explicit BandedReport(const ReportLayout& layout);
    ~BandedReport();
    Q_DISABLE_COPY_MOVE(BandedReport)

    const ReportLayout& layout() const { return m_layout; }

    // Back to the layout's captions and no rows, so nothing of an earlier run remains.
    void reset();

    void setLabel(const QString& name, const QString& text);
    QString label(const QString& name) const;

    // The data source: column names and the rows as they print, each row one text per column.
    void setData(const QStringList& columns, QVector<QStringList> rows);
    int rowCount() const { return int(m_rows.size()); }

    // Runs before the page footer of each page is painted (page counted from 1).
    using PageFooterFormat = std::function<void(BandedReport& report, int page)>;
    void setPageFooterFormat(PageFooterFormat format) { m_pageFooterFormat = std::move(format); }

    // The first pass: which rows each page holds and where they fall. A text wider than its element wraps
    // and its band grows to hold every line; a row starts a new page rather than being cut, unless it is
    // taller than a whole page, in which case it runs on to the next page between two of its lines.
    struct Page
    {
        int firstRow = 0;
        int rowCount = 0;
        bool groupHeader = false;
        bool groupFooter = false;
        // Top of each row, twips from the top margin.
        QVector<int> rowTops;
        // A row taller than a page: the twips of the first row printed on the pages before, and the twips
        // of the last row printed on this page when it goes on (0 = the whole row).
        int firstRowFrom = 0;
        int lastRowTo = 0;
        // Top of the group footer on the page that prints it.
        int groupFooterTop = 0;
    };
    // paper: the page in twips as the device has it (orientation applied); empty means the layout's A4.
    QVector<Page> paginate(const QSizeF& paper = {}) const;

    // Paints every page on the device, laid out for its page size and orientation; a page narrower than
    // the layout's A4 is scaled down to its width. False when the device cannot be painted on.
    bool print(QPagedPaintDevice* device);

    // Writes the pages on A4 portrait to a PDF file, replacing it only when every page was written.
    bool writePdf(const QString& path, QString* error = nullptr);

private:
    ReportLayout m_layout;
    QHash<QString, QString> m_labels;
    QStringList m_columns;
    QVector<QStringList> m_rows;
    PageFooterFormat m_pageFooterFormat;
};

} // namespace zelvora
