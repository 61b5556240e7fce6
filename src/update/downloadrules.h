// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

namespace zelvora::download {

// The file-name part of an "http://" address ("setup.exe"), or empty text for an address that ends in a
// folder, is shorter than 2 characters, or does not start with "http://" exactly.
QString UrlFileName(const QString& address);

// A name a file can be saved under in a folder: not empty, not "." or "..", no "/" or "\\", no control
// character.
bool isPlainFileName(QStringView name);
// The name the update file of an address is saved under: UrlFileName without surrounding blanks, when that is
// a plain file name; nothing otherwise ("http://h/..", "http://h/x.y/", "http://h/a\\..\\b.exe").
std::optional<QString> savedFileName(const QString& address);

// The full path the update file of an address is saved to: savedFileName inside folder, joined as text (a name
// such as ":setup.exe" is a file there, not a Qt resource path); nothing without a plain file name.
std::optional<QString> savedFilePath(const QString& folder, const QString& address);

// Writes all bytes to an open file descriptor; 0, or the system's error number of the write that failed.
int writeAll(int fd, QByteArrayView bytes);
// The downloader's text for a file it could not write: "Dosya Diske Yüklenmedi.", two CR, "Error <number>: "
// and the reason, named in Turkish for a full disk.
QString writeFailure(int errorNumber);

// The 3 characters at positions 10 to 12 of the response header text ("200" for "HTTP/1.1 200 OK").
QString statusText(const QString& headerText);

// The error text for a status the download cannot go on with; nothing for "200" and "206".
std::optional<QString> statusError(const QString& status, const QString& headerText, const QString& url);

// The leading number of a Content-Length value; 0 when absent or not numeric. 64-bit throughout.
qint64 contentLength(const QString& value);

// Percentage received, to the nearest whole number with an exact half going to the even neighbour.
int progressPercent(qint64 received, qint64 announced);

// Where the update file goes: "c:\" on Windows, the user's Downloads folder elsewhere. Tests set their own.
QString destinationFolder();
void setDestinationFolder(const QString& folder);
// The folder as the completion message names it in place of " C:\ ".
QString destinationFolderForMessage();

} // namespace zelvora::download
