#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

// Reading and writing the text forms of dates and times.
//
// Readers take a text the way a day/month/year reader does: blanks around it
// are allowed, the day, month, hour and minute may have one or two digits,
// and the year has four. Anything else reads as an invalid value, which never
// equals another one. The entry checks are stricter (DateTimeRules).
namespace MomentText {

// Two characters as a number 0-99, or -1 unless both are ASCII digits.
int twoDigits(QStringView text);

QDate readDate(QStringView text); // "dd/mm/yyyy"
QTime readTime(QStringView text); // "hh:mm"
// A date, a blank and a time, as built from a line's first 15 characters.
QDateTime readMoment(QStringView text);

QString dateText(QDate date); // "dd/mm/yyyy"
QString timeTextWithSeconds(QTime time); // "hh:mm:ss"
QString momentText(const QDateTime& when); // "dd/mm/yyyy hh:mm", seconds dropped

// The same readers over any run of one-byte or two-byte characters, without
// building a string: the due scan reads the file's bytes with them.
namespace detail {

inline int code(QChar c)
{
    return c.unicode();
}
inline int code(char c)
{
    return static_cast<unsigned char>(c);
}

template <typename Char> class Reader
{
public:
    Reader(const Char* text, qsizetype size)
        : m_at(text)
        , m_end(text + size)
    {
        while (m_at < m_end && code(*m_at) == ' ') {
            ++m_at;
        }
        while (m_end > m_at && code(m_end[-1]) == ' ') {
            --m_end;
        }
    }

    // Between min and max digits; -1 when there are fewer.
    int number(int min, int max)
    {
        int value = 0;
        int count = 0;
        while (count < max && m_at < m_end && code(*m_at) >= '0' && code(*m_at) <= '9') {
            value = value * 10 + (code(*m_at) - '0');
            ++m_at;
            ++count;
        }
        return count >= min ? value : -1;
    }

    bool expect(char c)
    {
        if (m_at < m_end && code(*m_at) == c) {
            ++m_at;
            return true;
        }
        return false;
    }

    bool atEnd() const { return m_at == m_end; }

private:
    const Char* m_at;
    const Char* m_end;
};

// Day, month and year, not yet checked against the calendar; false when the
// text does not have the shape of a date.
template <typename Char> bool dateFields(const Char* text, qsizetype size, int& day, int& month, int& year)
{
    Reader<Char> in(text, size);
    day = in.number(1, 2);
    if (day < 0 || !in.expect('/')) {
        return false;
    }
    month = in.number(1, 2);
    if (month < 0 || !in.expect('/')) {
        return false;
    }
    year = in.number(4, 4);
    return year > 0 && in.atEnd();
}

// Minutes since midnight, or -1.
template <typename Char> int minuteOfDay(const Char* text, qsizetype size)
{
    Reader<Char> in(text, size);
    const int hour = in.number(1, 2);
    if (hour < 0 || hour > 23 || !in.expect(':')) {
        return -1;
    }
    const int minute = in.number(1, 2);
    if (minute < 0 || minute > 59 || !in.atEnd()) {
        return -1;
    }
    return hour * 60 + minute;
}

} // namespace detail

} // namespace MomentText
