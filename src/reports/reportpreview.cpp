// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/reportpreview.h"

#include "app/filedialog.h"
#include "app/messagebox.h"
#include "reports/bandedreport.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QStandardPaths>
#include <QToolBar>

namespace zelvora {

void ReportPreview::exec(QWidget* parent, BandedReport& report, const QString& title)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    printer.setDocName(report.layout().documentTitle);

    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("reportPreview"));
    dialog.setWindowTitle(report.layout().documentTitle);
    dialog.setAccessibleName(report.layout().documentTitle);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&report](QPrinter* target) { report.print(target); });

    auto* savePdf = new QAction(QStringLiteral("PDF Olarak Kaydet"), &dialog);
    savePdf->setObjectName(QStringLiteral("savePdfAction"));
    savePdf->setToolTip(QStringLiteral("PDF Olarak Kaydet"));
    QObject::connect(savePdf, &QAction::triggered, &dialog,
                     [&dialog, &report, title] { saveAsPdf(&dialog, report, title); });
    if (auto* toolBar = dialog.findChild<QToolBar*>()) {
        toolBar->addSeparator();
        toolBar->addAction(savePdf);
    } else {
        dialog.addAction(savePdf);
    }
    const QSize available = parent ? parent->screen()->availableSize() : QSize(1024, 768);
    dialog.resize(qMin(available.width(), 900), qMin(available.height(), 1000));
    dialog.exec();
}

QString ReportPreview::defaultPdfPath(const QString& title)
{
    QString name = title.simplified();
    // Characters that no file system of a shop's computer takes in a name.
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    for (QChar& c : name)
        if (forbidden.contains(c) || c.unicode() < 0x20)
            c = u'-';
    if (name.isEmpty())
        name = QStringLiteral("Rapor");
    // Documents when the user has that folder; it is not created for a report.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return QDir(folder).filePath(name + QStringLiteral(".pdf"));
}

bool ReportPreview::saveAsPdf(QWidget* parent, BandedReport& report, const QString& title)
{
    QString path = FileDialog::chooseSaveFile(parent, QStringLiteral("PDF Olarak Kaydet"),
                                              QStringLiteral("PDF Dosyaları (*.pdf)"), defaultPdfPath(title));
    if (path.isEmpty())
        return false;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    QString error;
    if (!report.writePdf(path, &error)) {
        MessageBox::ok(parent,
                       QStringLiteral("PDF dosyası kaydedilemedi.\n\n") + QDir::toNativeSeparators(path)
                           + QStringLiteral("\n") + error,
                       QStringLiteral("Hata"), MessageBox::Icon::Stop);
        return false;
    }
    return true;
}

} // namespace zelvora
