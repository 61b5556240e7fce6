// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/filedialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace zelvora {

namespace {

std::optional<QString>& nextAnswer()
{
    static std::optional<QString> answer;
    return answer;
}

QString& lastStart()
{
    static QString path;
    return path;
}

std::optional<QString> takeAnswer()
{
    std::optional<QString> answer = nextAnswer();
    nextAnswer().reset();
    return answer;
}

} // namespace

QString FileDialog::chooseFolder(QWidget* parent, const QString& title, const QString& startFolder)
{
    lastStart() = startFolder;
    if (auto answer = takeAnswer())
        return *answer;
    return QFileDialog::getExistingDirectory(parent, title, startFolder, QFileDialog::ShowDirsOnly);
}

QString FileDialog::chooseFile(QWidget* parent, const QString& title, const QString& filter, const QString& startFolder)
{
    lastStart() = startFolder;
    if (auto answer = takeAnswer())
        return *answer;
    return QFileDialog::getOpenFileName(parent, title, startFolder, filter);
}

QString FileDialog::chooseSaveFile(QWidget* parent, const QString& title, const QString& filter,
                                   const QString& proposedPath)
{
    const QFileInfo proposed(proposedPath);
    const QString start
        = proposed.isAbsolute() && proposed.dir().exists() ? proposedPath : QDir::home().filePath(proposed.fileName());
    lastStart() = start;
    if (auto answer = takeAnswer())
        return *answer;
    return QFileDialog::getSaveFileName(parent, title, start, filter);
}

void FileDialog::setNextAnswer(const QString& answer)
{
    nextAnswer() = answer;
}

QString FileDialog::lastStartPath()
{
    return lastStart();
}

} // namespace zelvora
