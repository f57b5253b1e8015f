#include "DueRule.h"

#include "reminders/MomentText.h"
#include "reminders/Windows1252.h"

#include <cstring>

namespace {

int dayKey(int year, int month, int day)
{
    return year * 10000 + month * 100 + day;
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

} // namespace

namespace DueRule {

bool isDue(QDate date, QTime time, const QDateTime& now)
{
    if (!date.isValid() || !time.isValid()) {
        return false;
    }
    const QDate today = now.date();
    if (date != today) {
        return date < today;
    }
    // Whole seconds on both sides, as "hh:mm:ss" texts would compare.
    return now.time().msecsSinceStartOfDay() / 1000 > time.msecsSinceStartOfDay() / 1000;
}

std::optional<Lembrete> firstDue(const QByteArray& fileBytes, const QDateTime& now)
{
    using MomentText::detail::dateFields;
    using MomentText::detail::minuteOfDay;

    const QDate today = now.date();
    const int todayKey = dayKey(today.year(), today.month(), today.day());
    const int nowSecond = now.time().msecsSinceStartOfDay() / 1000;

    const char* const begin = fileBytes.constData();
    const char* const end = begin + fileBytes.size();
    LineEnds ends(begin, end);
    for (const char* line = begin; line < end;) {
        const char* const stop = ends.next(line);
        const qsizetype length = stop - line;
        int day = 0;
        int month = 0;
        int year = 0;
        // Most lines are in the future: that needs no calendar check.
        if (dateFields(line, qMin<qsizetype>(length, Lembrete::DateWidth), day, month, year)) {
            const int key = dayKey(year, month, day);
            if (key <= todayKey && QDate::isValid(year, month, day)) {
                const int minute = length > Lembrete::DateWidth
                    ? minuteOfDay(line + Lembrete::DateWidth,
                                  qMin<qsizetype>(length - Lembrete::DateWidth, Lembrete::TimeWidth))
                    : -1;
                if (minute >= 0 && (key < todayKey || nowSecond > minute * 60)) {
                    return Lembrete::fromLine(Windows1252::decode(QByteArray(line, length)));
                }
            }
        }
        if (stop == end) {
            break;
        }
        line = stop + ((stop[0] == '\r' && stop + 1 < end && stop[1] == '\n') ? 2 : 1);
    }
    return std::nullopt;
}

} // namespace DueRule
