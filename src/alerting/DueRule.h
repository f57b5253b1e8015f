#pragma once

#include "reminders/Lembrete.h"

#include <QByteArray>
#include <QDateTime>

#include <limits>
#include <optional>

// When a reminder falls due, and which one of a file is the next to ring.
namespace DueRule {

// The first reminder in file order that is due, read straight from the
// file's bytes (one byte per character) and stopping at that line. Lines
// whose first 15 characters are not a date and a time never ring: nothing
// could delete them from the alert. A reminder is due when its day is before
// today (whatever its time), or when it is today and the clock, to the
// second, is past its minute: a reminder for 14:30 is due from 14:30:01 on.
std::optional<Lembrete> firstDue(const QByteArray& fileBytes, const QDateTime& now);

// firstDue for a file read afresh at every tick. When the bytes read are the
// very bytes it walked last time and the clock has not reached the earliest
// moment one of their lines falls due, the answer is known without walking
// the lines again; any change to the file means a full walk.
class Scanner
{
public:
    std::optional<Lembrete> firstDue(const QByteArray& fileBytes, const QDateTime& now);

private:
    QByteArray m_bytes;
    qint64 m_earliest = std::numeric_limits<qint64>::min(); // nothing known yet
};

} // namespace DueRule
