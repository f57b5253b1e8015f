#include "MomentText.h"

namespace MomentText {

int twoDigits(QStringView text)
{
    if (text.size() != 2) {
        return -1;
    }
    int value = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return -1;
        }
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

QDate readDate(QStringView text)
{
    int day = 0;
    int month = 0;
    int year = 0;
    if (!detail::dateFields(text.data(), text.size(), day, month, year)) {
        return {};
    }
    return QDate(year, month, day); // invalid for 31/04, 29/02 of a common year, zeros
}

QTime readTime(QStringView text)
{
    const int minutes = detail::minuteOfDay(text.data(), text.size());
    return minutes < 0 ? QTime() : QTime(minutes / 60, minutes % 60);
}

QDateTime readMoment(QStringView text)
{
    // The date runs to the first blank after it, the time is the rest.
    qsizetype start = 0;
    while (start < text.size() && text[start] == QLatin1Char(' ')) {
        ++start;
    }
    const qsizetype blank = text.indexOf(QLatin1Char(' '), start);
    if (blank < 0) {
        return {};
    }
    const QDate date = readDate(text.mid(start, blank - start));
    const QTime time = readTime(text.mid(blank + 1));
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
