#include "reports/bandedreport.h"

#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <array>

namespace zelvora {

namespace {

constexpr int kTwipsPerInch = 1440;
constexpr int kTwipsPerPoint = 20;
const QColor kRuleColour(0xC0, 0xC0, 0xC0);
// A thin rule: half a point.
constexpr int kRuleWidth = 10;

// The named family when it is installed, else the installed family with the nearest metrics.
QString installedFamily(const QString& family)
{
    static QHash<QString, QString> resolved;
    auto it = resolved.constFind(family);
    if (it != resolved.constEnd())
        return *it;
    // Tahoma is narrower than Verdana: DejaVu Sans Condensed (fonts-dejavu-extra) comes closest to it.
    static const QHash<QString, QStringList> nearest = {
        {QStringLiteral("Tahoma"), {QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")}},
        {QStringLiteral("Verdana"), {QStringLiteral("DejaVu Sans")}},
        {QStringLiteral("Arial"), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")}},
    };
    const QStringList families = QFontDatabase::families();
    QString result = family;
    if (!families.contains(family, Qt::CaseInsensitive)) {
        for (const QString& candidate : nearest.value(family)) {
            if (families.contains(candidate, Qt::CaseInsensitive)) {
                result = candidate;
                break;
            }
        }
    }
    resolved.insert(family, result);
    return result;
}

// Fonts are sized in twips, the painter's unit, so text keeps its point size on every device.
QFont reportFont(const ReportFont& spec)
{
    QFont font(installedFamily(spec.family));
    font.setPixelSize(qRound(spec.points * kTwipsPerPoint));
    font.setBold(spec.bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// Paints bands with one font cache for the whole run.
class BandPainter
{
public:
    BandPainter(QPainter& painter, const QStringList& columns)
        : m_painter(painter)
        , m_columns(columns)
    {
    }

    void paint(const ReportBand& band, int y, const QHash<QString, QString>& labels, const QStringList* row, int page,
               int pageCount)
    {
        for (const ReportElement& e : band.elements) {
            switch (e.kind) {
            case ReportElement::Kind::Line:
                paintLine(e, y);
                break;
            case ReportElement::Kind::Label:
                paintText(e, y, e.name.isEmpty() ? e.text : labels.value(e.name, e.text));
                break;
            case ReportElement::Kind::Field:
                if (row) {
                    const int column = columnIndex(e.name);
                    paintText(e, y, column >= 0 && column < row->size() ? row->at(column) : QString());
                }
                break;
            case ReportElement::Kind::PageNumber:
                paintText(e, y, QString::number(page));
                break;
            case ReportElement::Kind::PageTotal:
                paintText(e, y, QString::number(pageCount));
                break;
            }
        }
    }

private:
    struct Font
    {
        QFont font;
        QFontMetricsF metrics;
        // Advances of the Latin letters (Turkish ones included), digits and signs, measured on first use.
        std::array<qreal, 0x250> advances;

        // The sum of the characters' advances, which leaves shaping the text to drawing it: a large list
        // spends a fifth of its time measuring otherwise. Kerning moves a text by a few twips at most.
        qreal width(const QString& text)
        {
            qreal sum = 0;
            for (const QChar c : text) {
                const char16_t u = c.unicode();
                if (u >= advances.size())
                    return metrics.horizontalAdvance(text);
                if (advances[u] < 0)
                    advances[u] = metrics.horizontalAdvance(c);
                sum += advances[u];
            }
            return sum;
        }
    };

    Font& font(const ReportFont& spec)
    {
        const QString key = spec.family + QString::number(spec.points) + (spec.bold ? u'b' : u'r');
        auto it = m_fonts.find(key);
        if (it == m_fonts.end()) {
            QFont f = reportFont(spec);
            Font entry {f, QFontMetricsF(f), {}};
            entry.advances.fill(-1);
            it = m_fonts.insert(key, entry);
        }
        return it.value();
    }

    int columnIndex(const QString& name)
    {
        auto it = m_columnIndex.constFind(name);
        if (it == m_columnIndex.constEnd())
            it = m_columnIndex.insert(name, int(m_columns.indexOf(name)));
        return *it;
    }

    void paintLine(const ReportElement& e, int y)
    {
        m_painter.setPen(m_rulePen);
        m_painter.drawLine(QPointF(e.left, y + e.top), QPointF(e.left + e.width, y + e.top));
    }

    void paintText(const ReportElement& e, int y, const QString& text)
    {
        if (text.isEmpty())
            return;
        Font& f = font(e.font);
        if (m_currentFont != &f) {
            m_painter.setFont(f.font);
            m_currentFont = &f;
        }
        m_painter.setPen(Qt::black);
        // A text wider than its element is cut with an ellipsis rather than running into the next column.
        QString shown = text;
        qreal width = f.width(shown);
        if (width > e.width) {
            shown = f.metrics.elidedText(text, Qt::ElideRight, e.width);
            width = f.metrics.horizontalAdvance(shown);
        }
        qreal x = e.left;
        if (e.alignment & Qt::AlignRight)
            x = e.left + e.width - width;
        else if (e.alignment & Qt::AlignHCenter)
            x = e.left + (e.width - width) / 2;
        m_painter.drawText(QPointF(x, y + e.top + f.metrics.ascent()), shown);
    }

    QPainter& m_painter;
    const QStringList& m_columns;
    QHash<QString, Font> m_fonts;
    QHash<QString, int> m_columnIndex;
    const Font* m_currentFont = nullptr;
    QPen m_rulePen {kRuleColour, qreal(kRuleWidth), Qt::SolidLine, Qt::FlatCap};
};

} // namespace

BandedReport::BandedReport(const ReportLayout& layout)
    : m_layout(layout)
{
    reset();
}

BandedReport::~BandedReport() = default;

void BandedReport::reset()
{
    m_labels.clear();
    for (const ReportBand* band :
         {&m_layout.pageHeader, &m_layout.groupHeader, &m_layout.detail, &m_layout.groupFooter, &m_layout.pageFooter})
        for (const ReportElement& e : band->elements)
            if (e.kind == ReportElement::Kind::Label && !e.name.isEmpty())
                m_labels.insert(e.name, e.text);
    m_columns.clear();
    m_rows.clear();
}

void BandedReport::setLabel(const QString& name, const QString& text)
{
    m_labels.insert(name, text);
}

QString BandedReport::label(const QString& name) const
{
    return m_labels.value(name);
}

void BandedReport::setData(const QStringList& columns, QVector<QStringList> rows)
{
    m_columns = columns;
    m_rows = std::move(rows);
}

QVector<BandedReport::Page> BandedReport::paginate() const
{
    const int bodyTop = m_layout.pageHeader.height;
    const int bodyBottom = m_layout.bodyHeight() - m_layout.pageFooter.height;
    QVector<Page> pages;
    Page page;
    page.groupHeader = true;
    int y = bodyTop + m_layout.groupHeader.height;
    int row = 0;
    const int rows = rowCount();
    while (row < rows) {
        // A page takes at least one row, so a band taller than the page cannot stop the report.
        if (y + m_layout.detail.height > bodyBottom && page.rowCount > 0) {
            pages.append(page);
            page = Page {row, 0, false, false};
            y = bodyTop;
        }
        ++page.rowCount;
        ++row;
        y += m_layout.detail.height;
    }
    if (y + m_layout.groupFooter.height > bodyBottom && (page.rowCount > 0 || page.groupHeader)) {
        pages.append(page);
        page = Page {rows, 0, false, false};
    }
    page.groupFooter = true;
    pages.append(page);
    return pages;
}

bool BandedReport::print(QPagedPaintDevice* device)
{
    const QVector<Page> pages = paginate();
    QPainter painter;
    if (!painter.begin(device))
        return false;
    painter.setRenderHint(QPainter::TextAntialiasing);
    const qreal scaleX = qreal(device->logicalDpiX()) / kTwipsPerInch;
    const qreal scaleY = qreal(device->logicalDpiY()) / kTwipsPerInch;
    BandPainter bands(painter, m_columns);
    const int pageCount = int(pages.size());
    const int footerTop = m_layout.bodyHeight() - m_layout.pageFooter.height;
    for (int i = 0; i < pageCount; ++i) {
        if (i > 0 && !device->newPage()) {
            painter.end();
            return false;
        }
        const Page& page = pages.at(i);
        painter.resetTransform();
        painter.scale(scaleX, scaleY);
        painter.translate(m_layout.leftMargin, m_layout.topMargin);
        bands.paint(m_layout.pageHeader, 0, m_labels, nullptr, i + 1, pageCount);
        int y = m_layout.pageHeader.height;
        if (page.groupHeader) {
            bands.paint(m_layout.groupHeader, y, m_labels, nullptr, i + 1, pageCount);
            y += m_layout.groupHeader.height;
        }
        for (int r = page.firstRow; r < page.firstRow + page.rowCount; ++r) {
            bands.paint(m_layout.detail, y, m_labels, &m_rows.at(r), i + 1, pageCount);
            y += m_layout.detail.height;
        }
        if (page.groupFooter)
            bands.paint(m_layout.groupFooter, y, m_labels, nullptr, i + 1, pageCount);
        if (m_pageFooterFormat)
            m_pageFooterFormat(*this, i + 1);
        bands.paint(m_layout.pageFooter, footerTop, m_labels, nullptr, i + 1, pageCount);
    }
    return painter.end();
}

bool BandedReport::writePdf(const QString& path, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    bool painted = false;
    {
        QPdfWriter writer(&file);
        writer.setTitle(m_layout.documentTitle);
        writer.setCreator(QStringLiteral("Zelvora"));
        writer.setResolution(kTwipsPerInch);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(), QPageLayout::Point));
        painted = print(&writer);
    }
    if (!painted) {
        file.cancelWriting();
        if (error)
            *error = QStringLiteral("Sayfalar yazılamadı.");
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace zelvora
