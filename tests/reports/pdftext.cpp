#include "pdftext.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

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
