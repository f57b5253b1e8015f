#pragma once

// A deliberately plain reading of the reminder file, for the fuzz targets to
// hold the core's faster code against.

#include <QByteArray>
#include <QDate>
#include <QList>

#include <cstdio>
#include <cstdlib>
#include <optional>

#define CHECK(cond)                                                                                          \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            std::fprintf(stderr, "%s:%d: CHECK failed: %s\n", __FILE__, __LINE__, #cond);                    \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

namespace Reference {

// CR LF, CR and LF each end a line; text after the last ending is one more.
inline QList<QByteArray> splitLines(const QByteArray& bytes)
{
    QList<QByteArray> lines;
    QByteArray current;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines << current;
            current.clear();
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
        } else {
            current += c;
        }
    }
    if (!current.isEmpty()) {
        lines << current;
    }
    return lines;
}

inline QByteArray trimBlanks(QByteArray text)
{
    while (text.startsWith(' ')) {
        text.remove(0, 1);
    }
    while (text.endsWith(' ')) {
        text.chop(1);
    }
    return text;
}

// The number in `text` when it is between min and max ASCII digits, else -1.
inline int digits(const QByteArray& text, int min, int max)
{
    if (text.size() < min || text.size() > max) {
        return -1;
    }
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return -1;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

// "d/m/yyyy", day and month of one or two digits, blanks around it allowed.
inline QDate readDate(const QByteArray& text)
{
    const QList<QByteArray> fields = trimBlanks(text).split('/');
    if (fields.size() != 3) {
        return {};
    }
    const int day = digits(fields[0], 1, 2);
    const int month = digits(fields[1], 1, 2);
    const int year = digits(fields[2], 4, 4);
    if (day < 0 || month < 0 || year <= 0) {
        return {};
    }
    return QDate(year, month, day);
}

// "h:m" as minutes since midnight, hour and minute of one or two digits.
inline std::optional<int> readTime(const QByteArray& text)
{
    const QList<QByteArray> fields = trimBlanks(text).split(':');
    if (fields.size() != 2) {
        return std::nullopt;
    }
    const int hour = digits(fields[0], 1, 2);
    const int minute = digits(fields[1], 1, 2);
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59) {
        return std::nullopt;
    }
    return hour * 60 + minute;
}

struct Moment
{
    QDate date;
    int minute = 0; // of the day

    friend bool operator==(const Moment&, const Moment&) = default;
};

// A line's moment: bytes 1-10 the date, 11-15 the time.
inline std::optional<Moment> readMoment(const QByteArray& line)
{
    const QDate date = readDate(line.left(10));
    const std::optional<int> minute = readTime(line.mid(10, 5));
    if (!date.isValid() || !minute) {
        return std::nullopt;
    }
    return Moment{date, *minute};
}

} // namespace Reference
