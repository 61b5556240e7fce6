// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/database.h"

#include <QString>

namespace zelvora {

// Where things are and the two web addresses. Built-in defaults; an optional "zelvora.ini" in the program
// folder may override the addresses (tests point the program at a local server this way).
//
// The program folder holds the database, zelvora.ini and the lock file. As built, or copied to a folder
// together with its veresiye.dll, it is the executable's folder. Installed under a system prefix it is the
// user's data folder (~/.local/share/Zelvora), which the first start fills with the supplied database.
class AppConfig final
{
public:
    static QString programFolder();
    static void setProgramFolder(const QString& folder); // tests: data beside this folder

    static QString executableFolder();
    static void setExecutableFolder(const QString& folder); // tests: as if the program were started from there
    static bool installed(); // data in the user's data folder rather than beside the executable
    static QString suppliedDatabasePath(); // the installed program's pristine copy

    // Installed: makes the data folder and puts the supplied database there unless one exists. Nothing to do
    // otherwise. False with a message for the user when it fails.
    static bool prepareProgramFolder(QString* error);

    static QString databasePath(); // <program folder>/veresiye.dll

    // [database] of zelvora.ini: engine=postgresql names a server (host, port, name, user, password, sslmode);
    // absent or engine=sqlite keeps the ledger in the file databasePath().
    static Engine databaseEngine();
    static ServerSettings serverSettings();
    // The file or the server, as the settings say.
    static DatabaseTarget databaseTarget();
    // A message for the user when [database] cannot be used as written (an unknown engine, a port that is not
    // one); empty when it can.
    static QString databaseSettingsError();
    static QString lockFilePath(); // single-instance lock next to the database
    static QString backupFolder(); // ~/VeresiyeYedekleri
    static void setBackupFolder(const QString& folder); // tests

    static QString makerAddress(); // shown in captions and messages, e.g. "www.zelvora.example"
    static QString makerHost(); // the maker's web server
    static QString bankHost(); // the central bank's web server
    static QString shopName(); // [dukkan] ad=, the shop's name for texts sent to customers; empty when unset

    // Re-reads zelvora.ini (after the program folder changed).
    static void reload();
};

} // namespace zelvora
