// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/application.h"

#include "widgets/lumbutton/lumbuttonaccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace zelvora {

void setupApplication(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("Zelvora"));
    QApplication::setApplicationVersion(QStringLiteral(ZELVORA_VERSION));
    // Lets the desktop match the running windows to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.zelvora.Zelvora"));
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));

    // Message-box buttons, file dialogs and the print preview speak Turkish.
    auto* qtTranslator = new QTranslator(&app);
    if (qtTranslator->load(QLocale(QLocale::Turkish, QLocale::Turkey), QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qtTranslator);

    QAccessible::installFactory(lumButtonAccessibleFactory);
}

} // namespace zelvora
