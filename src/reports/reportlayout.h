// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVector>
#include <Qt>

namespace zelvora {

// A font as a layout names it; the painter resolves the family to an installed one.
struct ReportFont
{
    QString family;
    qreal points = 9;
    bool bold = false;
};

// One printed element of a band. Positions and sizes are twips from the left of the printable area and
// from the top of the band. A line runs from left to left + width at top.
struct ReportElement
{
    enum class Kind { Label, Field, Line, PageNumber, PageTotal };
    Kind kind = Kind::Label;
    QString name; // a label's name, or a field's data column
    QString text; // a label's caption until the program replaces it
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    ReportFont font;
    Qt::Alignment alignment = Qt::AlignLeft;
};

struct ReportBand
{
    int height = 0;
    QVector<ReportElement> elements;
};

// A banded layout on A4: the page header and footer print on every page, the group header once before the
// first row, the detail once per row and the group footer once after the last row. All sizes in twips.
struct ReportLayout
{
    QString name;
    QString documentTitle;
    int paperWidth = 11906;
    int paperHeight = 16838;
    int printableWidth = 0;
    int leftMargin = 0;
    int rightMargin = 0;
    int topMargin = 0;
    int bottomMargin = 0;
    ReportBand pageHeader;
    ReportBand groupHeader;
    ReportBand detail;
    ReportBand groupFooter;
    ReportBand pageFooter;

    // Height left for bands between the top and the bottom margin.
    int bodyHeight() const { return paperHeight - topMargin - bottomMargin; }
};

// The building blocks every layout of the program is made of, so the printed pages share one look.
namespace reportparts {

inline const ReportFont kTitle {QStringLiteral("Arial"), 10, true};
inline const ReportFont kHeading {QStringLiteral("Verdana"), 7, true};
inline const ReportFont kPageFooter {QStringLiteral("Tahoma"), 9, false};

ReportElement label(const QString& name, const QString& text, int left, int top, int width, int height,
                    const ReportFont& font, Qt::Alignment alignment);
ReportElement field(const QString& column, int left, int width, int height, const ReportFont& font,
                    Qt::Alignment alignment);
ReportElement line(int x1, int x2, int y);

} // namespace reportparts

namespace reportlayouts {

// The customer list "musterilistesi" and the account statement "carirapor".
const ReportLayout& musterilistesi();
const ReportLayout& carirapor();

} // namespace reportlayouts

} // namespace zelvora
