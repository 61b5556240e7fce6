// SPDX-License-Identifier: GPL-3.0-or-later
// The download rules: the name an update file is saved under is a plain file name inside the download folder,
// whatever address the version page gives; the header and progress helpers take any value without harm.
#include "fuzzsupport.h"
#include "update/downloadrules.h"

#include <QDir>
#include <QFileInfo>

using namespace zelvora;
using fuzz::check;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input in(data, size);
    const qint64 announced = in.takeIn<qint64>(0, qint64(1) << 50);
    const qint64 first = in.takeIn<qint64>(0, announced);
    const qint64 second = in.takeIn<qint64>(first, announced);
    const int p1 = download::progressPercent(first, announced);
    const int p2 = download::progressPercent(second, announced);
    check(p1 >= 0 && p2 <= 100 && p1 <= p2, "progress stays in 0..100 and never goes back",
          QStringLiteral("%1 %2 of %3").arg(first).arg(second).arg(announced));
    check(download::contentLength(QString::number(announced)) == announced, "a length reads back");

    const QString text = in.takeText();
    download::contentLength(text);
    const QString status = download::statusText(text);
    check(status.size() <= 3, "a status is three characters", status);
    download::statusError(status, text, text);

    for (const QString& address : {text, QStringLiteral("http://") + text, in.takeText()}) {
        const auto name = download::savedFileName(address);
        if (!name)
            continue;
        check(!name->isEmpty() && *name != QLatin1String(".") && *name != QLatin1String(".."), "a saved name is a name",
              address);
        check(!name->contains(QLatin1Char('/')) && !name->contains(QLatin1Char('\\')) && !name->contains(QChar(0)),
              "a saved name has no folder part and no NUL", address);
        check(*name == name->trimmed(), "a saved name has no surrounding blanks", address);
        const QString folder = QStringLiteral("/tmp/indirilenler");
        const auto path = download::savedFilePath(folder, address);
        check(path && QFileInfo(*path).absolutePath() == folder && QFileInfo(*path).fileName() == *name,
              "the file lands in the folder under its name", address);
    }
    return 0;
}
