#include "ReviewList.h"

#include "reminders/MomentText.h"

#include <algorithm>

namespace ReviewList {

QString itemText(const Lembrete& lembrete)
{
    return lembrete.momento();
}

QDateTime itemValue(QStringView item)
{
    return MomentText::readMoment(item);
}

QString itemDate(const QString& item)
{
    return item.left(Lembrete::DateWidth);
}

QString itemTime(const QString& item)
{
    return item.mid(Lembrete::DateWidth + 1, Lembrete::TimeWidth);
}

void sortItems(QStringList& items)
{
    struct Keyed
    {
        QDateTime value;
        QString text;
    };
    QList<Keyed> keyed;
    keyed.reserve(items.size());
    for (const QString& item : items) {
        keyed.append({itemValue(item), item});
    }
    // Each value is read once, not at every comparison.
    const auto valid
        = std::stable_partition(keyed.begin(), keyed.end(), [](const Keyed& k) { return k.value.isValid(); });
    std::stable_sort(keyed.begin(), valid, [](const Keyed& a, const Keyed& b) { return a.value < b.value; });
    for (qsizetype i = 0; i < keyed.size(); ++i) {
        items[i] = keyed[i].text;
    }
}

QStringList loadItems(const QList<Lembrete>& entries)
{
    QStringList moments;
    QStringList others;
    for (const Lembrete& entry : entries) {
        const QString item = itemText(entry);
        (itemValue(item).isValid() ? moments : others) << item;
    }
    std::stable_sort(moments.begin(), moments.end());
    sortItems(moments);
    return moments + others;
}

qsizetype textPosition(const QStringList& items, const QString& item)
{
    const auto after
        = std::find_if(items.cbegin(), items.cend(), [&item](const QString& other) { return other > item; });
    return after - items.cbegin();
}

} // namespace ReviewList
