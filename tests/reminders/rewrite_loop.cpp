// Flips a reminder file between two known contents for ever, one atomic
// replacement at a time, until it is killed.
#include "reminders/ReminderFile.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        return 2;
    }
    const ReminderFile store(args[1]);
    const Lembrete a{QStringLiteral("01/01/2030"), QStringLiteral("01:01"), QStringLiteral("estado A")};
    const Lembrete b{QStringLiteral("02/02/2030"), QStringLiteral("02:02"), QStringLiteral("estado B")};
    // Start from whichever of the two the last run left behind.
    const bool holdsA = !store.HorarioLivre(a.momento());
    std::puts("looping");
    std::fflush(stdout);
    for (bool toB = holdsA;; toB = !toB) {
        const Lembrete& from = toB ? a : b;
        const Lembrete& to = toB ? b : a;
        if (!store.substitui(from.data, from.hora, to)) {
            return 1;
        }
    }
}
