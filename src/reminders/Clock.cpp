#include "Clock.h"

#include <limits>

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
    if (fixedNow().isValid()) {
        return fixedNow();
    }
    // Turning the time into local time asks the system for its time zone,
    // which costs more than the due scan's whole read of the file; every
    // rule looks at whole seconds, so it is done once a second.
    static qint64 second = std::numeric_limits<qint64>::min();
    static QDateTime local;
    const qint64 msecs = QDateTime::currentMSecsSinceEpoch();
    const qint64 whole = msecs >= 0 ? msecs / 1000 : (msecs - 999) / 1000;
    if (whole != second) {
        second = whole;
        local = QDateTime::fromSecsSinceEpoch(whole);
    }
    return local;
}

void setNowForTesting(const QDateTime& moment)
{
    fixedNow() = moment;
}

} // namespace Clock
