// The least a resident program with a 1 ms file-reading timer can cost: a Qt
// widget program with one hidden window whose timer, at every tick, reads the
// clock and opens, reads and closes a file with plain system calls (no QFile,
// which adds status and seek calls of its own). resident_cpu.sh sets
// Quedrino's resting CPU and memory beside this one's.
//
// Usage: bench_bare_timer FILE
#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 2) {
        std::fputs("usage: bench_bare_timer FILE\n", stderr);
        return 2;
    }
    const QByteArray path = QFile::encodeName(arguments.at(1));

    QWidget window; // never shown, like Quedrino's main window at rest in the tray
    window.resize(439, 265);

    // The UTC clock is a vDSO read with no system call; the local one asks
    // the C library for the time zone, which looks at /etc/localtime.
    qint64 latest = 0;
    qint64 bytesRead = 0;
    std::vector<char> buffer(64 * 1024);
    QTimer timer;
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        latest = QDateTime::currentDateTimeUtc().toSecsSinceEpoch();
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            return;
        }
        ssize_t got = 0;
        while ((got = ::read(fd, buffer.data(), buffer.size())) > 0) {
            bytesRead += got;
        }
        ::close(fd);
    });
    timer.start();
    const int status = QApplication::exec();
    return bytesRead < 0 || latest < 0 ? 1 : status;
}
