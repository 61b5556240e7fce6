// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace zelvora {

// The folder browser and the file-open and file-save dialogs, replaceable in tests. Empty text means cancelled.
class FileDialog final
{
public:
    static QString chooseFolder(QWidget* parent, const QString& title, const QString& startFolder = {});
    static QString chooseFile(QWidget* parent, const QString& title, const QString& filter,
                              const QString& startFolder = {});
    // proposedPath: the folder and file name the dialog starts with. A folder that does not exist, or no
    // folder at all, would start the dialog in the working folder, beside the database: the home folder
    // is proposed instead.
    static QString chooseSaveFile(QWidget* parent, const QString& title, const QString& filter,
                                  const QString& proposedPath);

    // Tests: the next dialog returns this answer without showing ("" = cancelled).
    static void setNextAnswer(const QString& answer);
    // Tests: where the last dialog started, or would have started had it been shown.
    static QString lastStartPath();
};

} // namespace zelvora
