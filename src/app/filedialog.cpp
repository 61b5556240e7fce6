#include "app/filedialog.h"

#include <QFileDialog>

namespace zelvora {

namespace {

std::optional<QString>& nextAnswer()
{
    static std::optional<QString> answer;
    return answer;
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
    if (auto answer = takeAnswer())
        return *answer;
    return QFileDialog::getExistingDirectory(parent, title, startFolder, QFileDialog::ShowDirsOnly);
}

QString FileDialog::chooseFile(QWidget* parent, const QString& title, const QString& filter, const QString& startFolder)
{
    if (auto answer = takeAnswer())
        return *answer;
    return QFileDialog::getOpenFileName(parent, title, startFolder, filter);
}

QString FileDialog::chooseSaveFile(QWidget* parent, const QString& title, const QString& filter,
                                   const QString& proposedPath)
{
    if (auto answer = takeAnswer())
        return *answer;
    return QFileDialog::getSaveFileName(parent, title, proposedPath, filter);
}

void FileDialog::setNextAnswer(const QString& answer)
{
    nextAnswer() = answer;
}

} // namespace zelvora
