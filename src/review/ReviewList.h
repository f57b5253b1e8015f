#pragma once

#include "reminders/Lembrete.h"

#include <QDateTime>
#include <QList>
#include <QStringList>

// The items of the review list and their order.
namespace ReviewList {

// A reminder's item: its date text, a blank and its time text, as stored.
QString itemText(const Lembrete& lembrete);

// The moment an item names, read as a date and a time; invalid when it does
// not read as both (only a malformed line of the file gives such an item).
QDateTime itemValue(QStringView item);

// The date and time texts of an item: characters 1-10 and 12-16.
QString itemDate(const QString& item);
QString itemTime(const QString& item);

// Earliest first. Items of the same moment keep their order, and items that
// are not a moment go after all the others, in the order they had.
void sortItems(QStringList& items);

// The list for the reminders of a file: each item placed in text order as it
// is added, then sorted by moment; items that are not a moment last, in file
// order.
QStringList loadItems(const QList<Lembrete>& entries);

// Where a new item goes when it is added: before the first item whose text
// comes after its own.
qsizetype textPosition(const QStringList& items, const QString& item);

} // namespace ReviewList
