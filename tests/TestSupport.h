#pragma once

// Helpers shared by the test suites.

#include "alerting/AlarmSound.h"
#include "reminders/Clock.h"
#include "reminders/DataFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTemporaryDir>

class QWidget; // child<>() is for the widget tests, which include it

#ifdef QUEDRINO_TEST_WIDGETS
#include "shell/MainWindow.h"
#include "ui/MessageBox.h"

#include <QCoreApplication>
#endif

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace TestSupport {

// The child with this objectName; a test cannot go on without it.
template <typename T = QWidget> T* child(QObject* parent, const char* name)
{
    auto* found = parent->findChild<T*>(QString::fromLatin1(name));
    if (!found) {
        qFatal("no child %s", name);
    }
    return found;
}

// The file's bytes, or "<missing>".
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Writes the whole file, making its folder first.
inline bool writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// Lines as the program stores them: each ended by CR LF.
inline QByteArray stored(const QList<QByteArray>& lines)
{
    QByteArray bytes;
    for (const QByteArray& line : lines) {
        bytes += line + "\r\n";
    }
    return bytes;
}

// Counts the stops; plays nothing.
class FakeAlarmSound : public AlarmSound
{
public:
    void play(const QString&) override { }
    void stop() override { ++stops; }
    int stops = 0;
};

#ifdef QUEDRINO_TEST_WIDGETS
// A running program's main window, with a tray, its data folder in a
// temporary folder, the clock stopped at `now` (the system clock when
// invalid), scripted message boxes and a silent sound. The window is held by
// a QPointer, so a test that closes it fails a check instead of crashing.
class Program
{
public:
    explicit Program(const QDateTime& now = {}, bool tray = true)
    {
        DataFolder::setPathForTesting(m_dir.filePath(QStringLiteral("quedrino")));
        QDir().mkpath(DataFolder::path());
        Clock::setNowForTesting(now);
        MessageBox::setScripted(true);
        MessageBox::takeShown();
        window = new MainWindow(tray, sound);
    }
    ~Program()
    {
        delete window.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        MessageBox::takeShown();
        MessageBox::setScripted(false);
        Clock::setNowForTesting({});
        DataFolder::setPathForTesting({});
    }

    QByteArray reminders() const { return readFile(DataFolder::reminderFile()); }
    bool putReminders(const QList<QByteArray>& lines) const
    {
        return writeFile(DataFolder::reminderFile(), stored(lines));
    }

private:
    QTemporaryDir m_dir;

public:
    FakeAlarmSound sound;
    QPointer<MainWindow> window;
};
#endif

#ifdef Q_OS_UNIX
// While it lives, no file can grow past the given size: writes fail the way
// a full disk makes them fail, even for root.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN); // a failed write, not a killed test
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit small = m_saved;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved{};
};
#endif

} // namespace TestSupport
