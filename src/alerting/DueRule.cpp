#include "DueRule.h"

#include "reminders/MomentText.h"
#include "reminders/Windows1252.h"

#include <cstring>
#include <limits>

namespace {

// A moment as one number that orders like (day, second of the day).
qint64 momentKey(int year, int month, int day, int second)
{
    return (qint64(year) * 10000 + month * 100 + day) * 100000 + second;
}

qint64 momentKey(const QDateTime& now)
{
    const QDate today = now.date();
    return momentKey(today.year(), today.month(), today.day(), now.time().msecsSinceStartOfDay() / 1000);
}

// Finds line ends without rescanning: the next CR and the next LF are each
// looked up with memchr once and reused until the walk passes them.
class LineEnds
{
public:
    LineEnds(const char* begin, const char* end)
        : m_end(end)
        , m_cr(find(begin, '\r'))
        , m_lf(find(begin, '\n'))
    { }

    const char* next(const char* from)
    {
        if (m_cr < from) {
            m_cr = find(from, '\r');
        }
        if (m_lf < from) {
            m_lf = find(from, '\n');
        }
        return m_cr < m_lf ? m_cr : m_lf;
    }

private:
    const char* find(const char* from, char c) const
    {
        const void* at = std::memchr(from, c, size_t(m_end - from));
        return at ? static_cast<const char*>(at) : m_end;
    }

    const char* m_end;
    const char* m_cr;
    const char* m_lf;
};

struct Walk
{
    std::optional<Lembrete> due;
    qint64 earliest = std::numeric_limits<qint64>::max(); // of the lines walked
};

// Walks the lines in file order until one is due at `now`. A line falls due
// from the first second after its minute, so it is due once now's key
// reaches (its day, its minute's second 01); a day before today always has.
Walk walk(const QByteArray& fileBytes, qint64 now)
{
    using MomentText::detail::dateFields;
    using MomentText::detail::minuteOfDay;

    Walk result;
    const char* const begin = fileBytes.constData();
    const char* const end = begin + fileBytes.size();
    LineEnds ends(begin, end);
    for (const char* line = begin; line < end;) {
        const char* const stop = ends.next(line);
        const qsizetype length = stop - line;
        int day = 0;
        int month = 0;
        int year = 0;
        if (length > Lembrete::DateWidth && dateFields(line, Lembrete::DateWidth, day, month, year)) {
            // Most lines fall due after now and after the earliest line seen
            // so far: their day alone says so, with no time or calendar check.
            const qint64 dayStart = momentKey(year, month, day, 0);
            if (dayStart < now || dayStart < result.earliest) {
                const int minute
                    = minuteOfDay(line + Lembrete::DateWidth,
                                  qMin<qsizetype>(length - Lembrete::DateWidth, Lembrete::TimeWidth));
                const qint64 dueFrom = dayStart + minute * 60 + 1;
                if (minute >= 0 && (dueFrom <= now || dueFrom < result.earliest)
                    && QDate::isValid(year, month, day)) {
                    if (dueFrom <= now) {
                        result.due = Lembrete::fromLine(Windows1252::decode(QByteArray(line, length)));
                        return result;
                    }
                    result.earliest = dueFrom;
                }
            }
        }
        if (stop == end) {
            break;
        }
        line = stop + ((stop[0] == '\r' && stop + 1 < end && stop[1] == '\n') ? 2 : 1);
    }
    return result;
}

} // namespace

namespace DueRule {

std::optional<Lembrete> firstDue(const QByteArray& fileBytes, const QDateTime& now)
{
    return walk(fileBytes, momentKey(now)).due;
}

std::optional<Lembrete> Scanner::firstDue(const QByteArray& fileBytes, const QDateTime& now)
{
    const qint64 nowKey = momentKey(now);
    if (nowKey < m_earliest && fileBytes == m_bytes) {
        return std::nullopt;
    }
    Walk walked = walk(fileBytes, nowKey);
    if (walked.due) {
        // The walk stopped early, so it does not know the earliest moment.
        m_bytes.clear();
        m_earliest = std::numeric_limits<qint64>::min();
    } else {
        m_bytes = fileBytes; // shares the buffer, no copy
        m_earliest = walked.earliest;
    }
    return std::move(walked.due);
}

} // namespace DueRule
