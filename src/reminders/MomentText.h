#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

// Reading and writing the text forms of dates and times. Readers are strict:
// "dd/mm/yyyy" and "hh:mm" with plain digits only; anything else reads as an
// invalid value, which never equals another one.
namespace MomentText {

// Two characters as a number 0-99, or -1 unless both are ASCII digits.
int twoDigits(QStringView text);

QDate readDate(QStringView text); // "dd/mm/yyyy"
QTime readTime(QStringView text); // "hh:mm"
QDateTime readMoment(QStringView text); // "dd/mm/yyyy hh:mm"

QString dateText(QDate date); // "dd/mm/yyyy"
QString timeTextWithSeconds(QTime time); // "hh:mm:ss"
QString momentText(const QDateTime& when); // "dd/mm/yyyy hh:mm", seconds dropped

} // namespace MomentText
