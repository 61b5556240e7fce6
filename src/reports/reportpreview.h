// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace zelvora {

class BandedReport;

// The modal print preview of a report: Qt's preview with printing and the page set-up, and
// "PDF Olarak Kaydet", which writes the same pages to a PDF file the user picks.
class ReportPreview final
{
public:
    // Returns when the user closes the preview. title names the PDF file proposed.
    static void exec(QWidget* parent, BandedReport& report, const QString& title);

    // The file proposed for the PDF: the title made a valid file name, in the Documents folder, or in the
    // home folder when there is no Documents folder.
    static QString defaultPdfPath(const QString& title);

    // Asks for a file and writes the PDF; a failure is reported in a message. True when written.
    static bool saveAsPdf(QWidget* parent, BandedReport& report, const QString& title);
};

} // namespace zelvora
