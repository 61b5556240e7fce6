// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/reportlayout.h"

namespace zelvora {

namespace reportparts {

ReportElement label(const QString& name, const QString& text, int left, int top, int width, int height,
                    const ReportFont& font, Qt::Alignment alignment)
{
    return {ReportElement::Kind::Label, name, text, left, top, width, height, font, alignment};
}

ReportElement field(const QString& column, int left, int width, int height, const ReportFont& font,
                    Qt::Alignment alignment)
{
    return {ReportElement::Kind::Field, column, QString(), left, 0, width, height, font, alignment};
}

ReportElement line(int x1, int x2, int y)
{
    return {ReportElement::Kind::Line, QString(), QString(), x1, y, x2 - x1, 0, {}, Qt::AlignLeft};
}

} // namespace reportparts

namespace reportlayouts {

namespace {

using Kind = ReportElement::Kind;
using namespace reportparts;

const ReportFont kListRow {QStringLiteral("Tahoma"), 8.5, false};
const ReportFont kListTotal {QStringLiteral("Tahoma"), 8.5, false};
const ReportFont kListTotalBold {QStringLiteral("Tahoma"), 8.5, true};
const ReportFont kStatementRow {QStringLiteral("Tahoma"), 7, false};

constexpr Qt::Alignment kLeft = Qt::AlignLeft;
constexpr Qt::Alignment kRight = Qt::AlignRight;
constexpr Qt::Alignment kCentre = Qt::AlignHCenter;

ReportElement heading(const QString& text, int left, int top, int width, int height, Qt::Alignment alignment)
{
    return label(QString(), text, left, top, width, height, kHeading, alignment);
}

ReportElement counter(Kind kind, int left, int width, int height, Qt::Alignment alignment)
{
    return {kind, QString(), QString(), left, 0, width, height, kPageFooter, alignment};
}

ReportLayout makeCustomerList()
{
    ReportLayout l;
    l.name = QStringLiteral("musterilistesi");
    l.documentTitle = QStringLiteral("Müşteri Listesi");
    l.printableWidth = 10110;
    l.leftMargin = 720;
    l.rightMargin = 720;
    l.topMargin = 1080;
    l.bottomMargin = 1080;

    l.pageHeader.height = 840;
    l.pageHeader.elements = {
        label(QStringLiteral("title"), QStringLiteral("RAPORU"), 0, 0, 10080, 393, kTitle, kCentre),
        heading(QStringLiteral("HESAP TÜRÜ"), 0, 524, 1113, 261, kLeft),
        heading(QStringLiteral("MÜŞTERİ NO"), 1178, 524, 1113, 261, kLeft),
        heading(QStringLiteral("MÜŞTERİ"), 2356, 524, 4386, 261, kLeft),
        heading(QStringLiteral("TARİH"), 6807, 524, 982, 261, kLeft),
        heading(QStringLiteral("GÜN"), 7855, 524, 589, 261, kLeft),
        heading(QStringLiteral("BAKİYE"), 8509, 524, 1571, 261, kRight),
    };
    l.detail.height = 240;
    l.detail.elements = {
        field(QStringLiteral("Turu"), 0, 1113, 196, kListRow, kLeft),
        field(QStringLiteral("mus_kodu"), 1178, 1113, 196, kListRow, kLeft),
        field(QStringLiteral("MusteriFirma"), 2356, 4386, 196, kListRow, kLeft),
        field(QStringLiteral("Sonislem"), 6807, 982, 196, kListRow, kRight),
        field(QStringLiteral("Gun"), 7855, 589, 196, kListRow, kLeft),
        field(QStringLiteral("Bakiye"), 8509, 1571, 196, kListRow, kRight),
        line(0, 10008, 206),
    };
    l.groupFooter.height = 1050;
    l.groupFooter.elements = {
        label(QString(), QStringLiteral("Listedeki Toplam Borçlu :"), 216, 360, 2448, 257, kListTotal, kCentre),
        label(QStringLiteral("debtTotal"), QStringLiteral("0,00"), 216, 669, 2448, 257, kListTotal, kCentre),
        label(QString(), QStringLiteral("Listedeki Toplam Alacaklı :"), 3816, 360, 2448, 257, kListTotalBold, kCentre),
        label(QStringLiteral("creditTotal"), QStringLiteral("0,00"), 3816, 669, 2448, 257, kListTotalBold, kCentre),
        label(QString(), QStringLiteral("Listedeki Toplam Bakiye :"), 7416, 360, 2448, 257, kListTotalBold, kCentre),
        label(QStringLiteral("balanceTotal"), QStringLiteral("0,00"), 7416, 669, 2448, 257, kListTotalBold, kCentre),
    };
    l.pageFooter.height = 360;
    l.pageFooter.elements = {
        label(QString(), QStringLiteral("Listedeki Toplam Müşteri :"), 0, 0, 2592, 257, kListTotalBold, kRight),
        label(QStringLiteral("customerCount"), QStringLiteral("0"), 2664, 0, 1224, 257, kListTotalBold, kLeft),
        counter(Kind::PageNumber, 7920, 1008, 257, kRight),
        label(QString(), QStringLiteral("/"), 8928, 0, 144, 257, kPageFooter, kLeft),
        counter(Kind::PageTotal, 9072, 1008, 257, kLeft),
    };
    return l;
}

ReportLayout makeStatement()
{
    ReportLayout l;
    l.name = QStringLiteral("carirapor");
    l.documentTitle = QStringLiteral("Cari Rapor");
    l.printableWidth = 10830;
    l.leftMargin = 360;
    l.rightMargin = 720;
    l.topMargin = 1080;
    l.bottomMargin = 1080;

    l.pageHeader.height = 810;
    l.pageHeader.elements = {
        label(QStringLiteral("title"), QStringLiteral("RAPORU"), 0, 0, 10885, 397, kTitle, kCentre),
        heading(QStringLiteral("TARİH"), 0, 510, 907, 250, kLeft),
        heading(QStringLiteral("SAAT"), 964, 510, 737, 250, kLeft),
        heading(QStringLiteral("AÇIKLAMA"), 1757, 510, 3969, 250, kLeft),
        heading(QStringLiteral("MİKTAR"), 5783, 510, 680, 250, kLeft),
        heading(QStringLiteral("BİRİM"), 6520, 510, 907, 250, kLeft),
        heading(QStringLiteral("KDV"), 7483, 510, 511, 250, kCentre),
        heading(QStringLiteral("EKLENEN"), 8050, 510, 1361, 250, kRight),
        heading(QStringLiteral("ÖDENEN"), 9491, 510, 1309, 261, kRight),
    };
    l.detail.height = 270;
    l.detail.elements = {
        field(QStringLiteral("Tarih"), 0, 907, 227, kStatementRow, kLeft),
        field(QStringLiteral("Saat"), 964, 737, 227, kStatementRow, kLeft),
        field(QStringLiteral("Aciklama"), 1757, 3969, 227, kStatementRow, kLeft),
        field(QStringLiteral("Miktar"), 5783, 680, 227, kStatementRow, kRight),
        field(QStringLiteral("Birim"), 6576, 851, 227, kStatementRow, kLeft),
        field(QStringLiteral("KDV"), 7483, 511, 227, kStatementRow, kCentre),
        field(QStringLiteral("Eklenen"), 8050, 1361, 227, kStatementRow, kRight),
        field(QStringLiteral("Odenen"), 9468, 1360, 227, kStatementRow, kRight),
        line(0, 10831, 250),
    };
    l.groupFooter.height = 690;
    l.groupFooter.elements = {
        label(QString(), QStringLiteral("Toplam Eklenen :"), 0, 454, 1587, 226, kHeading, kRight),
        label(QStringLiteral("totalAdded"), QString(), 1644, 454, 1701, 226, kHeading, kLeft),
        label(QString(), QStringLiteral("Toplam Ödenen :"), 3742, 454, 1587, 226, kHeading, kRight),
        label(QStringLiteral("totalPaid"), QString(), 5386, 454, 1701, 226, kHeading, kLeft),
        label(QString(), QStringLiteral("Toplam Bakiye :"), 7483, 454, 1588, 226, kHeading, kRight),
        label(QStringLiteral("balance"), QString(), 9128, 454, 1700, 226, kHeading, kLeft),
    };
    l.pageFooter.height = 360;
    l.pageFooter.elements = {
        label(QStringLiteral("printDate"), QString(), 0, 0, 2154, 227, kPageFooter, kLeft),
        counter(Kind::PageNumber, 8575, 981, 262, kRight),
        label(QString(), QStringLiteral("/"), 9556, 0, 197, 262, kPageFooter, kLeft),
        counter(Kind::PageTotal, 9753, 982, 262, kLeft),
    };
    return l;
}

} // namespace

const ReportLayout& musterilistesi()
{
    static const ReportLayout layout = makeCustomerList();
    return layout;
}

const ReportLayout& carirapor()
{
    static const ReportLayout layout = makeStatement();
    return layout;
}

} // namespace reportlayouts

} // namespace zelvora
