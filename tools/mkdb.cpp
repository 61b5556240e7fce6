// SPDX-License-Identifier: GPL-3.0-or-later
// Creates the database file supplied with the program: schema, version, units, counter and the first user.
// An existing file is never touched.
#include "data/database.h"
#include "data/schema.h"
#include "users/passwordhash.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

using namespace zelvora;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        err << "usage: zelvora_mkdb <database file> <version>\n";
        return 2;
    }
    const QString path = args.at(1);
    if (QFile::exists(path))
        return 0;
    // Built under a temporary name and renamed, so an interrupted build leaves no half-made file.
    const QString temporary = path + QStringLiteral(".tmp");
    QFile::remove(temporary);
    {
        QFile create(temporary);
        if (!create.open(QIODevice::WriteOnly)) {
            err << create.errorString() << '\n';
            return 1;
        }
    }
    QString error;
    {
        auto db = Database::open(temporary, &error);
        bool ok = db && schema::create(*db, &error);
        ok = ok && db->exec(QStringLiteral("INSERT INTO surum (surum) VALUES (?)"), {args.at(2)}, &error);
        const QString firstPassword = passwords::hash(QStringLiteral("1234"));
        if (firstPassword.isEmpty())
            error = QStringLiteral("the first user's password could not be hashed");
        ok = ok && !firstPassword.isEmpty()
            && db->exec(QStringLiteral("INSERT INTO \"User\" (Username, Password) VALUES (?, ?)"),
                        {QStringLiteral("ADMIN"), firstPassword}, &error);
        if (!ok) {
            err << error << '\n';
            QFile::remove(temporary);
            return 1;
        }
    }
    if (!QFile::rename(temporary, path)) {
        err << "cannot rename " << temporary << '\n';
        return 1;
    }
    return 0;
}
