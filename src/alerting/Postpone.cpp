#include "Postpone.h"

#include "reminders/MomentText.h"

#include <array>

namespace {

enum class Unit { Minutes, Hours, Days, Weeks };

struct Interval
{
    const char* text;
    Unit unit;
    int amount;
};

constexpr std::array<Interval, 13> Intervals{{
    {"05 minutos", Unit::Minutes, 5},
    {"10 minutos", Unit::Minutes, 10},
    {"15 minutos", Unit::Minutes, 15},
    {"30 minutos", Unit::Minutes, 30},
    {"45 minutos", Unit::Minutes, 45},
    {"01 hora", Unit::Hours, 1},
    {"02 horas", Unit::Hours, 2},
    {"04 horas", Unit::Hours, 4},
    {"08 horas", Unit::Hours, 8},
    {"01 dia", Unit::Days, 1},
    {"02 dias", Unit::Days, 2},
    {"03 dias", Unit::Days, 3},
    {"01 semana", Unit::Weeks, 1},
}};

QDateTime add(const QDateTime& base, const Interval& interval)
{
    switch (interval.unit) {
    case Unit::Minutes:
        return base.addSecs(qint64(interval.amount) * 60);
    case Unit::Hours:
        return base.addSecs(qint64(interval.amount) * 3600);
    case Unit::Days:
        return base.addDays(interval.amount);
    case Unit::Weeks:
        return base.addDays(qint64(interval.amount) * 7);
    }
    return base;
}

} // namespace

namespace Postpone {

QStringList intervalTexts()
{
    QStringList texts;
    for (const Interval& interval : Intervals) {
        texts << QString::fromUtf8(interval.text);
    }
    return texts;
}

QString newMoment(const QString& choice, const QDateTime& now)
{
    // The wall-clock reading taken as it stands, so a daylight-saving change
    // neither adds nor takes away an hour.
    const QDateTime base(now.date(), now.time(), Qt::UTC);
    for (const Interval& interval : Intervals) {
        if (choice == QLatin1String(interval.text)) {
            return MomentText::momentText(add(base, interval));
        }
    }
    return MomentText::momentText(base);
}

} // namespace Postpone
