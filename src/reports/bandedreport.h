#pragma once

#include "reports/reportlayout.h"

#include <QHash>
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

    // The first pass: which rows each page holds and where the group bands fall.
    struct Page
    {
        int firstRow = 0;
        int rowCount = 0;
        bool groupHeader = false;
        bool groupFooter = false;
    };
    QVector<Page> paginate() const;

    // Paints every page on the device, which must be set to A4 portrait without margins. False when the
    // device cannot be painted on.
    bool print(QPagedPaintDevice* device);

    // Writes the same pages to a PDF file, replacing it only when every page was written.
    bool writePdf(const QString& path, QString* error = nullptr);

private:
    ReportLayout m_layout;
    QHash<QString, QString> m_labels;
    QStringList m_columns;
    QVector<QStringList> m_rows;
    PageFooterFormat m_pageFooterFormat;
};

} // namespace zelvora
