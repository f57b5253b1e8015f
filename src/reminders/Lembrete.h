#pragma once

#include <QString>

// One reminder as stored: three texts kept exactly as typed. The date and time
// are never reformatted; they are read as values only to compare them.
struct Lembrete
{
    QString data; // "dd/mm/yyyy"
    QString hora; // "hh:mm"
    QString descricao; // free text, no line break

    static constexpr int DateWidth = 10;
    static constexpr int TimeWidth = 5;

    // Cuts one line of the reminder file by position: characters 1-10 are the
    // date, 11-15 the time, the rest the description. Short lines give short
    // or empty fields, so joining the fields gives back the same line.
    static Lembrete fromLine(const QString& line);
    QString toLine() const;

    // "dd/mm/yyyy hh:mm": the form used to look a moment up and to list it.
    QString momento() const;

    friend bool operator==(const Lembrete&, const Lembrete&) = default;
};
