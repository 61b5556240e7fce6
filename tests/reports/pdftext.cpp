// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdftext.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

namespace zelvora::test {

QStringList pdfPages(const QString& path)
{
    QProcess pdftotext;
    pdftotext.start(
        QStringLiteral("pdftotext"),
        {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(u'\f');
    // pdftotext ends the last page with a form feed too.
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

PdfWords pdfWords(const QString& path)
{
    QProcess pdftotext;
    pdftotext.start(
        QStringLiteral("pdftotext"),
        {QStringLiteral("-bbox"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0)
        return {};
    PdfWords result;
    QXmlStreamReader xml(pdftotext.readAllStandardOutput());
    const auto number = [&](const char* name) { return xml.attributes().value(QLatin1String(name)).toDouble(); };
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("page")) {
            result.pageSizes.append(QSizeF(number("width"), number("height")));
        } else if (xml.name() == QLatin1String("word")) {
            const QRectF box(QPointF(number("xMin"), number("yMin")), QPointF(number("xMax"), number("yMax")));
            result.words.append({xml.readElementText(), int(result.pageSizes.size()) - 1, box});
        }
    }
    if (xml.hasError())
        return {};
    return result;
}

QImage pdfPageImage(const QString& path, int page, int dpi)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    const QString number = QString::number(page);
    QProcess pdftoppm;
    pdftoppm.start(QStringLiteral("pdftoppm"),
                   {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-aa"),
                    QStringLiteral("no"), QStringLiteral("-aaVector"), QStringLiteral("no"), QStringLiteral("-f"),
                    number, QStringLiteral("-l"), number, QStringLiteral("-singlefile"), path, prefix});
    if (!pdftoppm.waitForFinished(60000) || pdftoppm.exitCode() != 0)
        return {};
    return QImage(prefix + QStringLiteral(".png"));
}

QString withoutBlanks(const QString& text)
{
    QString result = text;
    result.remove(QRegularExpression(QStringLiteral("[ \\t]+")));
    return result;
}

} // namespace zelvora::test
