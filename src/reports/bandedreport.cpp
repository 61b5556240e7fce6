// SPDX-License-Identifier: GPL-3.0-or-later
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
#include <QVarLengthArray>
#include <QtMath>
#include <algorithm>
#include <array>
#include <climits>
#include <memory>
#include <numeric>

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

struct Font
{
    QFont font;
    QFontMetricsF metrics;
    qreal lineSpacing = 0;
    // Advances of the Latin letters (Turkish ones included), digits and signs, measured on first use.
    std::array<qreal, 0x250> advances;

    // The sum of the characters' advances, which leaves shaping the text to drawing it: a large list
    // spends a fifth of its time measuring otherwise. Kerning moves a text by a few twips at most.
    qreal width(QStringView text)
    {
        qreal sum = 0;
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            if (u >= advances.size())
                return metrics.horizontalAdvance(text.toString());
            if (advances[u] < 0)
                advances[u] = metrics.horizontalAdvance(c);
            sum += advances[u];
        }
        return sum;
    }
};

// The lines of a text in an element of the given width: broken after blanks where it can, inside a word
// longer than a line where it must, and at every line break typed. Blanks ending a line are dropped.
QStringList wrapText(Font& f, const QString& text, qreal width)
{
    QStringList lines;
    for (QStringView paragraph : QStringView(text).split(u'\n')) {
        if (paragraph.endsWith(u'\r'))
            paragraph.chop(1);
        const auto addLine = [&](qsizetype from, qsizetype to) {
            QStringView line = paragraph.sliced(from, to - from);
            while (line.endsWith(u' '))
                line.chop(1);
            lines.append(line.toString());
        };
        qsizetype start = 0;
        qsizetype lastBreak = 0; // where a line may start after the last blank
        qreal used = 0;
        qsizetype i = 0;
        while (i < paragraph.size()) {
            const qsizetype length = paragraph.at(i).isHighSurrogate() && i + 1 < paragraph.size() ? 2 : 1;
            const QStringView character = paragraph.sliced(i, length);
            const qreal advance = f.width(character);
            if (paragraph.at(i) != u' ' && i > start && used + advance > width) {
                if (lastBreak > start) {
                    addLine(start, lastBreak);
                    start = lastBreak;
                    used = f.width(paragraph.sliced(start, i - start));
                } else {
                    addLine(start, i);
                    start = i;
                    used = 0;
                }
                lastBreak = start;
                continue;
            }
            used += advance;
            i += length;
            if (paragraph.at(i - length) == u' ')
                lastBreak = i;
        }
        addLine(start, paragraph.size());
    }
    return lines;
}

// One element of a band as laid out for one row.
struct Slot
{
    QString text;
    qreal width = 0; // of text on one line
    QStringList lines; // a text wider than its element, wrapped; empty when it fits on one line
    Font* font = nullptr;
    int growth = 0; // twips the element grows below its height
    int shift = 0; // twips it moves down because an element above it grew
};

// The height of a band as laid out, and where it may be cut when it is taller than a page: between the
// lines of its tallest text.
struct BandShape
{
    int height = 0;
    int firstLineTop = 0;
    qreal lineStep = 0;
    int lines = 1;

    // The last place at or above limit where the band may be cut below from; 0 when there is none.
    int cutAtOrAbove(int from, int limit) const
    {
        if (lines < 2 || lineStep <= 0)
            return 0;
        const int k = qMin(lines - 1, qFloor((limit - firstLineTop) / lineStep));
        const int cut = k >= 1 ? firstLineTop + qFloor(k * lineStep) : 0;
        return cut > from ? cut : 0;
    }
};

// Lays bands out and paints them, with one font cache for the whole run.
class BandLayout
{
public:
    explicit BandLayout(const QStringList& columns)
        : m_columns(columns)
    {
    }

    BandShape layout(const ReportBand& band, const QHash<QString, QString>& labels, const QStringList* row, int page,
                     int pageCount)
    {
        BandShape shape;
        shape.height = band.height;
        m_slots.resize(band.elements.size());
        int tallest = -1;
        bool grown = false;
        for (qsizetype i = 0; i < band.elements.size(); ++i) {
            const ReportElement& e = band.elements.at(i);
            Slot& s = m_slots[i];
            s.text = text(e, labels, row, page, pageCount);
            s.lines.clear();
            s.growth = 0;
            s.shift = 0;
            s.font = nullptr;
            if (e.kind == ReportElement::Kind::Line || s.text.isEmpty())
                continue;
            Font& f = font(e.font);
            s.font = &f;
            s.width = f.width(s.text);
            const bool wraps = e.kind == ReportElement::Kind::Label || e.kind == ReportElement::Kind::Field;
            if (!wraps || (s.width <= e.width && !s.text.contains(u'\n')))
                continue;
            s.lines = wrapText(f, s.text, e.width);
            const int lines = int(s.lines.size());
            if (lines > 1) {
                s.growth = qCeil((lines - 1) * f.lineSpacing);
                grown = true;
            }
            if (lines > shape.lines) {
                shape.lines = lines;
                shape.lineStep = f.lineSpacing;
                tallest = int(i);
            }
        }
        if (!grown)
            return shape;
        // An element lying below one that grew moves down with it; the band grows by the most any moved.
        QVarLengthArray<int, 16> byTop(band.elements.size());
        std::iota(byTop.begin(), byTop.end(), 0);
        std::stable_sort(byTop.begin(), byTop.end(),
                         [&](int a, int b) { return band.elements.at(a).top < band.elements.at(b).top; });
        int growth = 0;
        for (const int i : byTop) {
            const ReportElement& e = band.elements.at(i);
            for (const int j : byTop) {
                const ReportElement& above = band.elements.at(j);
                if (above.top >= e.top)
                    break;
                if (above.top + above.height <= e.top)
                    m_slots[i].shift = qMax(m_slots[i].shift, m_slots[j].shift + m_slots[j].growth);
            }
            growth = qMax(growth, m_slots[i].shift + m_slots[i].growth);
        }
        shape.height += growth;
        if (tallest >= 0)
            shape.firstLineTop = band.elements.at(tallest).top + m_slots[tallest].shift;
        return shape;
    }

    // Paints a band laid out with its top at y; of a band cut over pages only what lies from from to to.
    void paint(QPainter& painter, const ReportBand& band, int y, const QHash<QString, QString>& labels,
               const QStringList* row, int page, int pageCount, int from = 0, int to = INT_MAX)
    {
        layout(band, labels, row, page, pageCount);
        const auto shown = [&](qreal offset) { return offset >= from && offset < to; };
        for (qsizetype i = 0; i < band.elements.size(); ++i) {
            const ReportElement& e = band.elements.at(i);
            const Slot& s = m_slots.at(i);
            const int top = e.top + s.shift;
            if (e.kind == ReportElement::Kind::Line) {
                if (shown(top)) {
                    painter.setPen(m_rulePen);
                    painter.drawLine(QPointF(e.left, y + top), QPointF(e.left + e.width, y + top));
                }
                continue;
            }
            if (!s.font)
                continue;
            if (s.lines.isEmpty()) {
                if (shown(top))
                    paintText(painter, e, *s.font, s.text, s.width, y + top);
                continue;
            }
            for (qsizetype k = 0; k < s.lines.size(); ++k) {
                const qreal offset = top + k * s.font->lineSpacing;
                if (shown(offset))
                    paintText(painter, e, *s.font, s.lines.at(k), s.font->width(s.lines.at(k)), y + offset);
            }
        }
    }

private:
    QString text(const ReportElement& e, const QHash<QString, QString>& labels, const QStringList* row, int page,
                 int pageCount)
    {
        switch (e.kind) {
        case ReportElement::Kind::Line:
            return {};
        case ReportElement::Kind::Label:
            return e.name.isEmpty() ? e.text : labels.value(e.name, e.text);
        case ReportElement::Kind::Field:
            if (row) {
                const int column = columnIndex(e.name);
                if (column >= 0 && column < row->size())
                    return row->at(column);
            }
            return {};
        case ReportElement::Kind::PageNumber:
            return QString::number(page);
        case ReportElement::Kind::PageTotal:
            return QString::number(pageCount);
        }
        return {};
    }

    Font& font(const ReportFont& spec)
    {
        // Looked up by the layout's own font object first: a large list asks for a font per element per row.
        if (Font* known = m_byElement.value(&spec))
            return *known;
        const QString key = spec.family + QString::number(spec.points) + (spec.bold ? u'b' : u'r');
        auto it = m_fonts.find(key);
        if (it == m_fonts.end()) {
            QFont f = reportFont(spec);
            auto entry = std::make_shared<Font>(Font {f, QFontMetricsF(f), 0, {}});
            entry->lineSpacing = entry->metrics.lineSpacing();
            entry->advances.fill(-1);
            it = m_fonts.insert(key, entry);
        }
        m_byElement.insert(&spec, it->get());
        return **it;
    }

    int columnIndex(const QString& name)
    {
        auto it = m_columnIndex.constFind(name);
        if (it == m_columnIndex.constEnd())
            it = m_columnIndex.insert(name, int(m_columns.indexOf(name)));
        return *it;
    }

    void paintText(QPainter& painter, const ReportElement& e, Font& f, const QString& text, qreal width, qreal top)
    {
        if (m_currentFont != &f) {
            painter.setFont(f.font);
            m_currentFont = &f;
        }
        painter.setPen(Qt::black);
        qreal x = e.left;
        if (e.alignment & Qt::AlignRight)
            x = e.left + e.width - width;
        else if (e.alignment & Qt::AlignHCenter)
            x = e.left + (e.width - width) / 2;
        painter.drawText(QPointF(x, top + f.metrics.ascent()), text);
    }

    const QStringList& m_columns;
    QVector<Slot> m_slots;
    QHash<QString, std::shared_ptr<Font>> m_fonts;
    QHash<const ReportFont*, Font*> m_byElement;
    QHash<QString, int> m_columnIndex;
    const Font* m_currentFont = nullptr;
    QPen m_rulePen {kRuleColour, qreal(kRuleWidth), Qt::SolidLine, Qt::FlatCap};
};

// Where the layout's A4 page falls on the paper of a device.
struct PageGeometry
{
    qreal scale = 1; // below 1 on a paper narrower than the layout's
    int bodyHeight = 0; // between the top and bottom margins, in the layout's twips
};

PageGeometry pageGeometry(const ReportLayout& layout, QSizeF paper)
{
    if (paper.isEmpty())
        paper = QSizeF(layout.paperWidth, layout.paperHeight);
    PageGeometry g;
    if (paper.width() < layout.paperWidth)
        g.scale = paper.width() / layout.paperWidth;
    g.bodyHeight = qFloor(paper.height() / g.scale) - layout.topMargin - layout.bottomMargin;
    return g;
}

struct BandHeights
{
    int pageHeader = 0;
    int groupHeader = 0;
    int groupFooter = 0;
    int pageFooter = 0;
};

BandHeights bandHeights(BandLayout& bands, const ReportLayout& layout, const QHash<QString, QString>& labels)
{
    return {bands.layout(layout.pageHeader, labels, nullptr, 1, 1).height,
            bands.layout(layout.groupHeader, labels, nullptr, 1, 1).height,
            bands.layout(layout.groupFooter, labels, nullptr, 1, 1).height,
            bands.layout(layout.pageFooter, labels, nullptr, 1, 1).height};
}

QVector<BandedReport::Page> paginateWith(BandLayout& bands, const ReportLayout& layout,
                                         const QHash<QString, QString>& labels, const QVector<QStringList>& rows,
                                         int bodyHeight, const BandHeights& heights)
{
    using Page = BandedReport::Page;
    const int bodyTop = heights.pageHeader;
    const int bodyBottom = bodyHeight - heights.pageFooter;
    QVector<Page> pages;
    Page page;
    page.groupHeader = true;
    int y = bodyTop + heights.groupHeader;
    const auto nextPage = [&](int firstRow) {
        pages.append(page);
        page = Page {};
        page.firstRow = firstRow;
        y = bodyTop;
    };
    const auto place = [&](int row, int from, int to) {
        if (page.rowCount == 0) {
            page.firstRow = row;
            page.firstRowFrom = from;
        }
        ++page.rowCount;
        page.rowTops.append(y);
        page.lastRowTo = to;
    };
    for (int row = 0; row < rows.size(); ++row) {
        const BandShape shape = bands.layout(layout.detail, labels, &rows.at(row), 1, 1);
        const int height = shape.height;
        if (y + height > bodyBottom && page.rowCount > 0 && height <= bodyBottom - bodyTop)
            nextPage(row);
        if (y + height <= bodyBottom || height <= bodyBottom - bodyTop) {
            place(row, 0, 0);
            y += height;
            continue;
        }
        // Taller than a page: printed in parts, each ending between two lines of its tallest text.
        int from = 0;
        while (height - from > bodyBottom - y) {
            int to = shape.cutAtOrAbove(from, from + bodyBottom - y);
            if (to == 0 && page.rowCount > 0) {
                nextPage(row);
                continue;
            }
            if (to == 0)
                to = from + qMax(1, bodyBottom - y);
            place(row, from, to);
            nextPage(row);
            from = to;
        }
        place(row, from, 0);
        y += height - from;
    }
    if (y + heights.groupFooter > bodyBottom && (page.rowCount > 0 || page.groupHeader))
        nextPage(int(rows.size()));
    page.groupFooter = true;
    page.groupFooterTop = y;
    pages.append(page);
    return pages;
}

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

QVector<BandedReport::Page> BandedReport::paginate(const QSizeF& paper) const
{
    BandLayout bands(m_columns);
    return paginateWith(bands, m_layout, m_labels, m_rows, pageGeometry(m_layout, paper).bodyHeight,
                        bandHeights(bands, m_layout, m_labels));
}

bool BandedReport::print(QPagedPaintDevice* device)
{
    // The painter starts at the corner of the device's paint rectangle, which is the paper's without margins.
    const QPageLayout page = device->pageLayout();
    const QRectF paperPoints = page.fullRectPoints();
    const QRectF paintPoints = page.paintRectPoints();
    const PageGeometry geometry
        = pageGeometry(m_layout, QSizeF(paperPoints.width(), paperPoints.height()) * kTwipsPerPoint);
    BandLayout bands(m_columns);
    const BandHeights heights = bandHeights(bands, m_layout, m_labels);
    const QVector<Page> pages = paginateWith(bands, m_layout, m_labels, m_rows, geometry.bodyHeight, heights);
    QPainter painter;
    if (!painter.begin(device))
        return false;
    painter.setRenderHint(QPainter::TextAntialiasing);
    const qreal scaleX = qreal(device->logicalDpiX()) / kTwipsPerInch;
    const qreal scaleY = qreal(device->logicalDpiY()) / kTwipsPerInch;
    const int pageCount = int(pages.size());
    const int footerTop = geometry.bodyHeight - heights.pageFooter;
    for (int i = 0; i < pageCount; ++i) {
        if (i > 0 && !device->newPage()) {
            painter.end();
            return false;
        }
        const Page& p = pages.at(i);
        painter.resetTransform();
        painter.scale(scaleX, scaleY);
        painter.translate(-paintPoints.topLeft() * kTwipsPerPoint);
        painter.scale(geometry.scale, geometry.scale);
        painter.translate(m_layout.leftMargin, m_layout.topMargin);
        bands.paint(painter, m_layout.pageHeader, 0, m_labels, nullptr, i + 1, pageCount);
        if (p.groupHeader)
            bands.paint(painter, m_layout.groupHeader, heights.pageHeader, m_labels, nullptr, i + 1, pageCount);
        for (int k = 0; k < p.rowCount; ++k) {
            const int from = k == 0 ? p.firstRowFrom : 0;
            const int to = k == p.rowCount - 1 && p.lastRowTo > 0 ? p.lastRowTo : INT_MAX;
            bands.paint(painter, m_layout.detail, p.rowTops.at(k) - from, m_labels, &m_rows.at(p.firstRow + k), i + 1,
                        pageCount, from, to);
        }
        if (p.groupFooter)
            bands.paint(painter, m_layout.groupFooter, p.groupFooterTop, m_labels, nullptr, i + 1, pageCount);
        if (m_pageFooterFormat)
            m_pageFooterFormat(*this, i + 1);
        bands.paint(painter, m_layout.pageFooter, footerTop, m_labels, nullptr, i + 1, pageCount);
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
