// What one tick of the due scan costs next to the least any tick could cost:
// reading the clock and opening, reading and closing the same file with plain
// system calls, as bench_bare_timer does at each of its ticks. Timer1 ticks
// every millisecond with the program at rest in the tray, so the tick is the
// program's resting load.
//
// The tick measured is what DueScan::tick does apart from the clock labels
// and switching Timer1: Clock::now(), ReminderFile::readRaw (of a
// ReminderFile made once, as the scan's is) and the scanner's firstDue.
// Every reminder lies between tomorrow and three years ahead, so nothing
// falls due, as at rest. "fresh walk" is the tick with a scanner made anew
// each time, so every line is walked: what a tick costs right after the
// file changed.
//
// Everything is timed in the same run, in batches taken in alternating order
// on a warm cache; the figures are medians over the rounds.
//
// Usage: bench_due_scan [rounds]   (41 by default)
#include "alerting/DueRule.h"
#include "reminders/Clock.h"
#include "reminders/DataFolder.h"
#include "reminders/ReminderFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Keeps the compiler from dropping work whose result is otherwise unused.
volatile qint64 sink = 0;

// Descriptions of a person's sort, about 40 characters, some with the
// accented letters Windows-1252 holds in one byte.
const char* const Descriptions[] = {
    "Reuni\xe3o com a equipe de vendas, sala 3",
    "Ligar para o dentista e remarcar consulta",
    "Pagar a conta de luz antes do vencimento",
    "Buscar as crian\xe7"
    "as na escola \xe0s 17h30",
    "Enviar relat\xf3rio mensal para a diretoria",
    "Comprar presentes de anivers\xe1rio da Ana",
    "Renovar o seguro do carro na corretora",
    "Tomar o rem\xe9"
    "dio da press\xe3o ap\xf3s o almo\xe7o",
};

// count reminders, one a line in CR LF, spread from tomorrow to three years
// ahead in no particular order, as a person adds them.
QByteArray futureReminders(int count, QDate today)
{
    QByteArray bytes;
    bytes.reserve(qsizetype(count) * 60);
    std::mt19937 random(count);
    char moment[32];
    for (int i = 0; i < count; ++i) {
        const QDate day = today.addDays(1 + qint64(random() % (3 * 365)));
        std::snprintf(moment, sizeof moment, "%02d/%02d/%04d%02d:%02d", day.day(), day.month(), day.year(),
                      int(random() % 24), int(random() % 60));
        bytes += moment;
        bytes += Descriptions[i % std::size(Descriptions)];
        bytes += "\r\n";
    }
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Measured
{
    QString name;
    std::function<void()> call;
    std::vector<double> perCall = {}; // µs, one figure a round

    double median() const { return ::median(perCall); }
    double best() const { return *std::min_element(perCall.begin(), perCall.end()); }
};

} // namespace

int main(int argc, char* argv[])
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 41;
    QTextStream out(stdout);

    // The program's own data folder, under a HOME of our own.
    QTemporaryDir home;
    if (!home.isValid()) {
        return 1;
    }
    qputenv("HOME", QFile::encodeName(home.path()));
    if (!QDir().mkpath(DataFolder::path())) {
        return 1;
    }
    const QString path = DataFolder::reminderFile();

    out << QStringLiteral("µs per call: median over %1 rounds (best round in brackets); every round times "
                          "each row in one batch, in alternating order. TZ is %2.\n\n")
               .arg(rounds)
               .arg(qEnvironmentVariableIsSet("TZ") ? QStringLiteral("\"%1\"").arg(qEnvironmentVariable("TZ"))
                                                    : QStringLiteral("not set"));

    struct Size
    {
        int count;
        qsizetype bytes;
        std::vector<Measured> rows;
    };
    std::vector<Size> sizes;

    for (int count : {10, 100, 1000, 10000}) {
        const QByteArray content = futureReminders(count, QDate::currentDate());
        if (!writeFile(path, content)) {
            return 1;
        }
        const QByteArray loaded = content;
        const QDateTime fixedNow = QDateTime::currentDateTime();
        if (DueRule::firstDue(loaded, fixedNow)) {
            out << "a reminder fell due; the file must hold future reminders only\n";
            return 1;
        }

        DueRule::Scanner scanner;
        std::vector<Measured> rows;
        const QByteArray nativePath = QFile::encodeName(path);
        std::vector<char> buffer(64 * 1024);
        rows.push_back({QStringLiteral("bare tick"), [&] {
                            sink = sink + QDateTime::currentDateTimeUtc().toSecsSinceEpoch();
                            const int fd = ::open(nativePath.constData(), O_RDONLY | O_CLOEXEC);
                            if (fd >= 0) {
                                ssize_t got = 0;
                                while ((got = ::read(fd, buffer.data(), buffer.size())) > 0) {
                                    sink = sink + got;
                                }
                                ::close(fd);
                            }
                        }});
        const ReminderFile store(path);
        const auto tick = [&store](DueRule::Scanner& with) {
            const QDateTime now = Clock::now();
            QByteArray bytes;
            QString error;
            if (store.readRaw(bytes, error) == LoadResult::Status::Loaded) {
                sink = sink + with.firstDue(bytes, now).has_value() + bytes.size();
            }
        };
        rows.push_back({QStringLiteral("tick"), [&] { tick(scanner); }});
        rows.push_back({QStringLiteral("fresh walk"), [&] {
                            DueRule::Scanner fresh;
                            tick(fresh);
                        }});
        rows.push_back({QStringLiteral("readRaw"), [&] {
                            QByteArray bytes;
                            QString error;
                            (void)store.readRaw(bytes, error);
                            sink = sink + bytes.size();
                        }});
        rows.push_back({QStringLiteral("firstDue walk"),
                        [&] { sink = sink + DueRule::firstDue(loaded, fixedNow).has_value(); }});
        rows.push_back({QStringLiteral("Clock::now"), [] { sink = sink + Clock::now().time().msec(); }});

        // A few milliseconds of the slowest row a batch.
        const int calls = std::max(10, 60000 / count);
        for (Measured& row : rows) {
            for (int i = 0; i < calls / 4 + 1; ++i) {
                row.call(); // warms the cache and the code
            }
        }
        for (int round = 0; round < rounds; ++round) {
            for (size_t k = 0; k < rows.size(); ++k) {
                Measured& row = rows[round % 2 ? rows.size() - 1 - k : k];
                QElapsedTimer timer;
                timer.start();
                for (int i = 0; i < calls; ++i) {
                    row.call();
                }
                row.perCall.push_back(double(timer.nsecsElapsed()) / 1000.0 / calls);
            }
        }
        sizes.push_back({count, content.size(), std::move(rows)});
    }

    const auto table = [&](const QList<int>& columns, const QList<int>& ratios) {
        out << QStringLiteral("%1 %2").arg(QStringLiteral("reminders"), 9).arg(QStringLiteral("bytes"), 7);
        for (int c : columns) {
            out << QStringLiteral(" %1").arg(sizes[0].rows[c].name, 17);
        }
        for (int c : ratios) {
            out << QStringLiteral(" %1").arg(sizes[0].rows[c].name + QStringLiteral("/bare"), 21);
        }
        out << '\n';
        for (const Size& size : sizes) {
            out << QStringLiteral("%1 %2").arg(size.count, 9).arg(size.bytes, 7);
            for (int c : columns) {
                const Measured& row = size.rows[c];
                out << QStringLiteral(" %1").arg(
                    QStringLiteral("%1 (%2)").arg(row.median(), 0, 'f', 2).arg(row.best(), 0, 'f', 2), 17);
            }
            for (int c : ratios) {
                out << QStringLiteral(" %1").arg(size.rows[c].median() / size.rows[0].median(), 21, 'f', 2);
            }
            out << '\n';
        }
        out << '\n';
    };
    out << "the tick against a bare tick (the clock, and plain calls that read the same file):\n";
    table({0, 1, 2}, {1, 2});
    out << "the parts of a tick:\n";
    table({3, 4, 5}, {});

    bool met = true;
    for (const Size& size : sizes) {
        if ((size.count == 100 || size.count == 1000)
            && size.rows[1].median() > 2.0 * size.rows[0].median()) {
            met = false;
        }
    }
    out << QStringLiteral("goal, the tick within 2x of the bare tick at 100 and 1000 reminders: %1\n")
               .arg(met ? QStringLiteral("met") : QStringLiteral("NOT met"));
    return int(sink & 0);
}
