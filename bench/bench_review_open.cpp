// How long "&Rever Lembretes" takes, from the menu command to the list drawn,
// with 1 000 and 10 000 reminders in the file, beside a bare read of the same
// file. Runs on Qt's offscreen platform unless told otherwise.
#include "alerting/AlarmSound.h"
#include "reminders/DataFolder.h"
#include "shell/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {
class Silence : public AlarmSound
{
public:
    void play(const QString&) override { }
    void stop() override { }
};

// Reminders from tomorrow on, in no particular order.
QByteArray reminders(int count)
{
    QByteArray bytes;
    const QDate tomorrow = QDate::currentDate().addDays(1);
    for (int i = 0; i < count; ++i) {
        const int spread = int((i * 7919LL) % count);
        bytes += tomorrow.addDays(spread / 24).toString(QStringLiteral("dd/MM/yyyy")).toLatin1();
        bytes += QStringLiteral("%1:%2")
                     .arg(spread % 24, 2, 10, QLatin1Char('0'))
                     .arg(i % 60, 2, 10, QLatin1Char('0'))
                     .toLatin1();
        bytes += "Reuni\xe3o com a equipe de vendas, sala 3\r\n";
    }
    return bytes;
}

double medianMs(std::vector<qint64> nsecs)
{
    std::sort(nsecs.begin(), nsecs.end());
    return double(nsecs[nsecs.size() / 2]) / 1e6;
}
} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir data;
    DataFolder::setPathForTesting(data.path());
    Silence silence;
    MainWindow window(true, silence);
    auto* list = window.findChild<QListWidget*>(QStringLiteral("lstlembr"));
    auto* review = window.findChild<QAction*>(QStringLiteral("mnuRev"));

    out << "opening the review panel, median of 11 (ms)\n";
    out << "reminders  bare read  open to drawn\n";
    for (int count : {1000, 10000}) {
        QFile file(DataFolder::reminderFile());
        if (!file.open(QIODevice::WriteOnly) || file.write(reminders(count)) < 0) {
            return 1;
        }
        file.close();
        std::vector<qint64> bare;
        std::vector<qint64> open;
        for (int run = 0; run < 11; ++run) {
            QElapsedTimer timer;
            timer.start();
            QFile read(DataFolder::reminderFile());
            if (read.open(QIODevice::ReadOnly) && read.readAll().isEmpty()) {
                return 1;
            }
            read.close();
            bare.push_back(timer.nsecsElapsed());

            window.hide();
            QApplication::processEvents();
            timer.restart();
            review->trigger();
            list->repaint(); // drawn now, not at the next turn of the loop
            QApplication::processEvents();
            open.push_back(timer.nsecsElapsed());
            if (list->count() != count) {
                return 1;
            }
        }
        out << QStringLiteral("%1 %2 %3\n")
                   .arg(count, 9)
                   .arg(medianMs(bare), 10, 'f', 2)
                   .arg(medianMs(open), 14, 'f', 1);
    }
    return 0;
}
