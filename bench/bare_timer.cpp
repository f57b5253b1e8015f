// The least a resident program with a 1 ms file-reading timer can cost: a Qt
// widget program with one hidden window whose timer only opens, reads and
// closes a file at every tick. resident_cpu.sh sets Quedrino's resting CPU
// and memory beside this one's.
//
// Usage: bench_bare_timer FILE
#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 2) {
        std::fputs("usage: bench_bare_timer FILE\n", stderr);
        return 2;
    }
    const QString path = arguments.at(1);

    QWidget window; // never shown, like Quedrino's main window at rest in the tray
    window.resize(439, 265);

    qint64 bytesRead = 0;
    QTimer timer;
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            bytesRead += file.readAll().size();
            file.close();
        }
    });
    timer.start();
    const int status = QApplication::exec();
    return bytesRead < 0 ? 1 : status;
}
