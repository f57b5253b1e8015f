#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// Putting a due reminder off by one of the alert's intervals, counted from
// the current time.
namespace Postpone {

// The intervals as the alert lists them, shortest first.
QStringList intervalTexts();

// The "dd/mm/yyyy hh:mm" moment the reminder moves to: now plus the interval
// whose text is exactly `choice` (case and spaces count), or now itself when
// no interval has that text. Minutes and hours are added on the wall clock,
// days and weeks as calendar days keeping the time of day; the seconds are
// dropped, not rounded.
QString newMoment(const QString& choice, const QDateTime& now);

} // namespace Postpone
