#pragma once

#include <QString>

namespace zelvora {

// Where things are and the two web addresses. Built-in defaults; an optional "zelvora.ini" in the program
// folder may override the addresses (tests point the program at a local server this way).
class AppConfig final
{
public:
    static QString programFolder();
    static void setProgramFolder(const QString& folder); // tests

    static QString databasePath(); // <program folder>/veresiye.dll
    static QString lockFilePath(); // single-instance lock next to the database
    static QString backupFolder(); // ~/VeresiyeYedekleri
    static void setBackupFolder(const QString& folder); // tests

    static QString makerAddress(); // shown in captions and messages, e.g. "www.zelvora.example"
    static QString makerHost(); // the maker's web server
    static QString bankHost(); // the central bank's web server

    // Re-reads zelvora.ini (after the program folder changed).
    static void reload();
};

} // namespace zelvora
