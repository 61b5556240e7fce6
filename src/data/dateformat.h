// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <QTime>
#include <optional>

namespace zelvora::dates {

// Short forms shown in every window, whatever the system locale: "31.12.2009" and "14:05:09".
QString shortDate(const QDate& date);
QString shortTime(const QTime& time);

// "DD-MM-YY", used only in backup file names.
QString backupDate(const QDate& date);

// Stored forms: ISO date "YYYY-MM-DD" and "HH:MM:SS".
QString isoDate(const QDate& date);
QString isoTime(const QTime& time);

// Reads a date typed or shown in the short form ("31.12.2009", also "1.2.2009" and "31.12.09"),
// or stored in ISO form. Nothing for anything else.
std::optional<QDate> readDate(const QString& text);
std::optional<QTime> readTime(const QString& text);

// The stored ISO date shown in the short form; text that is not a stored date is shown as it is.
QString storedDateForDisplay(const QString& stored);

// That date minus today, in whole days: 0 for today, -12 for twelve days ago.
qint64 dayCount(const QDate& date, const QDate& today);

} // namespace zelvora::dates
