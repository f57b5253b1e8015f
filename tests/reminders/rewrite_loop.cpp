// Flips a reminder file between two known contents for ever, one replacement
// at a time, until it is killed.
#include "reminders/ReminderFile.h"

#include <cstdio>

int main(int argc, char* argv[])
{
    const ReminderFile store(QString::fromLocal8Bit(argc == 2 ? argv[1] : ""));
    const Lembrete a{"01/01/2030", "01:01", "estado A"}, b{"02/02/2030", "02:02", "estado B"};
    std::puts("looping");
    std::fflush(stdout);
    // From whichever of the two the last run left behind.
    bool toB = !store.HorarioLivre(a.momento());
    while (store.substitui((toB ? a : b).data, (toB ? a : b).hora, toB ? b : a)) {
        toB = !toB;
    }
}
