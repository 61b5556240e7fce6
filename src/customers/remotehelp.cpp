// SPDX-License-Identifier: GPL-3.0-or-later
#include "customers/remotehelp.h"

#include "app/messagebox.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace zelvora::remotehelp {

namespace {

QString programName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("UzaktanYardim.exe");
#else
    return QStringLiteral("UzaktanYardim");
#endif
}

const QString kTitle = QStringLiteral("Uzaktan Yardım Al");

} // namespace

QString programPath(const QString& programFolder)
{
    const QFileInfo beside(QDir(programFolder).filePath(programName()));
    if (beside.isFile() && beside.isExecutable())
        return beside.absoluteFilePath();
    return QStandardPaths::findExecutable(programName());
}

bool start(QWidget* parent, const QString& programFolder)
{
    const QString path = programPath(programFolder);
    if (path.isEmpty()) {
        MessageBox::ok(parent,
                       QStringLiteral("Uzaktan yardım programı bulunamadı.\n\n\"%1\" programı, Zelvora'nın "
                                      "klasöründe ya da sistemin program yolunda olmalıdır.")
                           .arg(programName()),
                       kTitle, MessageBox::Icon::Exclamation);
        return false;
    }
    if (!QProcess::startDetached(path, {}, QFileInfo(path).absolutePath())) {
        MessageBox::ok(parent,
                       QStringLiteral("Uzaktan yardım programı başlatılamadı.\n\n") + QDir::toNativeSeparators(path),
                       kTitle, MessageBox::Icon::Stop);
        return false;
    }
    return true;
}

} // namespace zelvora::remotehelp
