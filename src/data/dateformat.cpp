// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/dateformat.h"

#include <QRegularExpression>

namespace zelvora::dates {

QString shortDate(const QDate& date)
{
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

QString shortTime(const QTime& time)
{
    return time.toString(QStringLiteral("HH:mm:ss"));
}

QString backupDate(const QDate& date)
{
    return date.toString(QStringLiteral("dd-MM-yy"));
}

QString isoDate(const QDate& date)
{
    return date.toString(Qt::ISODate);
}

QString isoTime(const QTime& time)
{
    return time.toString(QStringLiteral("HH:mm:ss"));
}

std::optional<QDate> readDate(const QString& text)
{
    static const QRegularExpression shortForm(QStringLiteral(R"(^\s*(\d{1,2})[./-](\d{1,2})[./-](\d{2}|\d{4})\s*$)"));
    static const QRegularExpression isoForm(QStringLiteral(R"(^\s*(\d{4})-(\d{2})-(\d{2})\s*$)"));
    QDate date;
    if (const auto m = isoForm.match(text); m.hasMatch()) {
        date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    } else if (const auto s = shortForm.match(text); s.hasMatch()) {
        int year = s.captured(3).toInt();
        if (s.captured(3).size() == 2)
            year += 2000;
        date = QDate(year, s.captured(2).toInt(), s.captured(1).toInt());
    }
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QTime> readTime(const QString& text)
{
    static const QRegularExpression form(QStringLiteral(R"(^\s*(\d{1,2}):(\d{2})(?::(\d{2}))?\s*$)"));
    const auto m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QTime time(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).isEmpty() ? 0 : m.captured(3).toInt());
    if (!time.isValid())
        return std::nullopt;
    return time;
}

QString storedDateForDisplay(const QString& stored)
{
    const QDate date = QDate::fromString(stored, Qt::ISODate);
    return date.isValid() ? shortDate(date) : stored;
}

qint64 dayCount(const QDate& date, const QDate& today)
{
    return today.daysTo(date);
}

} // namespace zelvora::dates
