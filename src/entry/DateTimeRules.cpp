#include "DateTimeRules.h"

#include "reminders/MomentText.h"

using MomentText::twoDigits;

namespace DateTimeRules {

bool dateRule(const QString& text)
{
    if (text.size() != 10) {
        return false;
    }
    if (text[2] != QLatin1Char('/') || text[5] != QLatin1Char('/')) {
        return false;
    }
    const int day = twoDigits(QStringView(text).mid(0, 2));
    if (day < 0 || day > 31) {
        return false;
    }
    const int month = twoDigits(QStringView(text).mid(3, 2));
    if (month < 0 || month > 12) {
        return false;
    }
    return MomentText::readDate(text).isValid();
}

bool timeRule(const QString& text)
{
    if (text.size() != 5) {
        return false;
    }
    const int hour = twoDigits(QStringView(text).mid(0, 2));
    if (hour < 0 || hour > 23) {
        return false;
    }
    if (text[2] != QLatin1Char(':')) {
        return false;
    }
    const int minute = twoDigits(QStringView(text).mid(3, 2));
    if (minute < 0 || minute > 59) {
        return false;
    }
    return MomentText::readTime(text).isValid();
}

} // namespace DateTimeRules
