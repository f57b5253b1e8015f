// What one tick of the due scan costs next to the least any tick could cost:
// opening, reading and closing the same file with nothing else. Timer1 ticks
// every millisecond with the program at rest in the tray, so the tick is the
// program's resting load.
//
// The tick measured is what DueScan::tick does apart from the clock labels:
// the data file's path, Clock::now(), ReminderFile::readRaw and
// DueRule::firstDue. Every reminder is in the future, so nothing falls due and
// the whole file is read and walked each time, as at rest.
//
// Both are timed in the same run, in alternating batches on a warm cache, and
// the medians over the rounds are compared; the parts of the tick are timed
// the same way to show where the difference goes.
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
#include <functional>
#include <vector>

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
    "Tomar o rem\xe9" "dio da press\xe3o ap\xf3s o almo\xe7o",
};

// N reminders, one a line, all in the future (years 2090 and on), CR LF.
QByteArray futureReminders(int count)
{
    QByteArray bytes;
    bytes.reserve(qsizetype(count) * 60);
    char moment[16];
    for (int i = 0; i < count; ++i) {
        std::snprintf(moment, sizeof moment, "%02d/%02d/%04d%02d:%02d", i % 28 + 1, i / 28 % 12 + 1,
                      2090 + i / (28 * 12), i % 24, (i * 7) % 60);
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
    const char* name;
    std::function<void()> call;
    std::vector<double> perCall; // µs, one figure a round
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

    out << QStringLiteral("median (best) µs per call over %1 rounds; each round times every row in one "
                          "batch, in alternating order\n\n")
               .arg(rounds);
    out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8\n")
               .arg(QStringLiteral("reminders"), 9)
               .arg(QStringLiteral("bytes"), 7)
               .arg(QStringLiteral("bare read"), 16)
               .arg(QStringLiteral("tick"), 16)
               .arg(QStringLiteral("tick/bare"), 9)
               .arg(QStringLiteral("readRaw"), 16)
               .arg(QStringLiteral("firstDue"), 16)
               .arg(QStringLiteral("Clock::now"), 16);
    out.flush();

    for (int count : {10, 100, 1000, 10000}) {
        const QByteArray content = futureReminders(count);
        if (!writeFile(path, content)) {
            return 1;
        }
        const QByteArray loaded = content;
        const QDateTime fixedNow = QDateTime::currentDateTime();
        if (DueRule::firstDue(loaded, fixedNow)) {
            out << "a reminder fell due; the file must hold future reminders only\n";
            return 1;
        }

        std::vector<Measured> rows;
        rows.push_back({"bare", [&] {
                            QFile file(path);
                            if (file.open(QIODevice::ReadOnly)) {
                                sink = sink + file.readAll().size();
                                file.close();
                            }
                        }});
        rows.push_back({"tick", [] {
                            const QDateTime now = Clock::now();
                            QByteArray bytes;
                            QString error;
                            if (ReminderFile(DataFolder::reminderFile()).readRaw(bytes, error)
                                == LoadResult::Status::Loaded) {
                                sink = sink + DueRule::firstDue(bytes, now).has_value() + bytes.size();
                            }
                        }});
        rows.push_back({"readRaw", [&] {
                            QByteArray bytes;
                            QString error;
                            (void)ReminderFile(path).readRaw(bytes, error);
                            sink = sink + bytes.size();
                        }});
        rows.push_back({"firstDue", [&] { sink = sink + DueRule::firstDue(loaded, fixedNow).has_value(); }});
        rows.push_back({"now", [] { sink = sink + Clock::now().time().msec(); }});

        // About 3 ms of the slowest row a batch.
        const int calls = std::max(10, 60000 / count);
        for (Measured& row : rows) {
            for (int i = 0; i < calls / 4 + 1; ++i) {
                row.call(); // warm the cache and the code
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

        const auto cell = [](const Measured& row) {
            const double best = *std::min_element(row.perCall.begin(), row.perCall.end());
            return QStringLiteral("%1 (%2)").arg(median(row.perCall), 7, 'f', 2).arg(best, 6, 'f', 2);
        };
        const double ratio = median(rows[1].perCall) / median(rows[0].perCall);
        out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8\n")
                   .arg(count, 9)
                   .arg(content.size(), 7)
                   .arg(cell(rows[0]), 16)
                   .arg(cell(rows[1]), 16)
                   .arg(ratio, 9, 'f', 2)
                   .arg(cell(rows[2]), 16)
                   .arg(cell(rows[3]), 16)
                   .arg(cell(rows[4]), 16);
        out.flush();
    }
    out << QStringLiteral("\ngoal: tick within 2x of the bare read at 100 and 1000 reminders\n");
    return int(sink & 0);
}
