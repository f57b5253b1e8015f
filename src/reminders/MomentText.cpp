#include "MomentText.h"

namespace {
bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int digits(QStringView text)
{
    int value = 0;
    for (QChar c : text) {
        if (!isAsciiDigit(c)) {
            return -1;
        }
        value = value * 10 + (c.unicode() - '0');
    }
    return text.isEmpty() ? -1 : value;
}
} // namespace

namespace MomentText {

int twoDigits(QStringView text)
{
    return text.size() == 2 ? digits(text) : -1;
}

QDate readDate(QStringView text)
{
    if (text.size() != 10 || text[2] != QLatin1Char('/') || text[5] != QLatin1Char('/')) {
        return {};
    }
    const int day = twoDigits(text.mid(0, 2));
    const int month = twoDigits(text.mid(3, 2));
    const int year = digits(text.mid(6, 4));
    if (day < 0 || month < 0 || year <= 0) {
        return {};
    }
    return QDate(year, month, day); // invalid for 31/04, 29/02 of a common year, zeros
}

QTime readTime(QStringView text)
{
    if (text.size() != 5 || text[2] != QLatin1Char(':')) {
        return {};
    }
    const int hour = twoDigits(text.mid(0, 2));
    const int minute = twoDigits(text.mid(3, 2));
    if (hour < 0 || minute < 0) {
        return {};
    }
    return QTime(hour, minute); // invalid past 23:59
}

QDateTime readMoment(QStringView text)
{
    if (text.size() != 16 || text[10] != QLatin1Char(' ')) {
        return {};
    }
    const QDate date = readDate(text.mid(0, 10));
    const QTime time = readTime(text.mid(11, 5));
    if (!date.isValid() || !time.isValid()) {
        return {};
    }
    // Compared as wall-clock values, so daylight-saving gaps cannot shift them.
    return QDateTime(date, time, Qt::UTC);
}

QString dateText(QDate date)
{
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

QString timeTextWithSeconds(QTime time)
{
    return time.toString(QStringLiteral("HH:mm:ss"));
}

QString momentText(const QDateTime& when)
{
    return when.toString(QStringLiteral("dd/MM/yyyy HH:mm"));
}

} // namespace MomentText
