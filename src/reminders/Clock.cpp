#include "Clock.h"

namespace {
QDateTime& fixedNow()
{
    static QDateTime moment;
    return moment;
}
} // namespace

namespace Clock {

QDateTime now()
{
    return fixedNow().isValid() ? fixedNow() : QDateTime::currentDateTime();
}

void setNowForTesting(const QDateTime& moment)
{
    fixedNow() = moment;
}

} // namespace Clock
