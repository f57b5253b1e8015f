// How long the reminder file's operations take on files of a person's size
// and larger. The due scan reads the whole file on every timer tick, so the
// read is the figure that matters most.
#include "reminders/ReminderFile.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

namespace {
template <typename F> double microsecondsPerCall(int calls, F&& call)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < calls; ++i) {
        call();
    }
    return double(timer.nsecsElapsed()) / 1000.0 / calls;
}
} // namespace

int main()
{
    QTextStream out(stdout);
    QTemporaryDir dir;
    for (int lines : {10, 100, 1000, 10000}) {
        const ReminderFile store(dir.filePath(QStringLiteral("r%1.txt").arg(lines)));
        for (int i = 0; i < lines; ++i) {
            const QString date = QStringLiteral("%1/%2/2031")
                                     .arg(i % 28 + 1, 2, 10, QLatin1Char('0'))
                                     .arg(i % 12 + 1, 2, 10, QLatin1Char('0'));
            const QString time = QStringLiteral("%1:%2")
                                     .arg(i % 24, 2, 10, QLatin1Char('0'))
                                     .arg(i % 60, 2, 10, QLatin1Char('0'));
            if (!store.GravaLembrete(
                    {date, time, QStringLiteral("Reunião com a equipe de vendas, sala 3")})) {
                return 1;
            }
        }
        const int calls = lines >= 10000 ? 50 : 1000;
        const double load = microsecondsPerCall(calls, [&] { (void)store.CarregaLembretes(); });
        const double free = microsecondsPerCall(
            calls, [&] { (void)store.HorarioLivre(QStringLiteral("31/12/2099 23:59")); });
        const double append = microsecondsPerCall(calls / 10, [&] {
            (void)store.substitui(
                QStringLiteral("31/12/2099"), QStringLiteral("23:59"),
                {QStringLiteral("31/12/2099"), QStringLiteral("23:59"), QStringLiteral("x")});
        });
        out << QStringLiteral("%1 lines: read all %2 us, free-slot test %3 us, atomic replace %4 us\n")
                   .arg(lines, 5)
                   .arg(load, 0, 'f', 1)
                   .arg(free, 0, 'f', 1)
                   .arg(append, 0, 'f', 1);
    }
    return 0;
}
