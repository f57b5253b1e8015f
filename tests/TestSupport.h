#pragma once

// Helpers shared by the test suites.

#include "alerting/AlarmSound.h"
#include "reminders/Clock.h"
#include "reminders/DataFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>

class QWidget; // child<>() is for the widget tests, which include it

#ifdef QUEDRINO_TEST_WIDGETS
#include "shell/MainWindow.h"
#include "ui/MessageBox.h"

#include <QCoreApplication>
#include <memory>
#endif

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace TestSupport {

// The child with this objectName; a test cannot go on without it.
template <typename T = QWidget> T* child(QObject* parent, const QString& name)
{
    auto* found = parent->findChild<T*>(name);
    if (!found) {
        qFatal("no child %s", qPrintable(name));
    }
    return found;
}
template <typename T = QWidget> T* child(QObject* parent, const char* name)
{
    return child<T>(parent, QString::fromLatin1(name));
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

// Records what would have been heard.
class FakeAlarmSound : public AlarmSound
{
public:
    void play(const QString& wavFile) override
    {
        played << wavFile;
        playing = true;
    }
    void stop() override
    {
        ++stops;
        playing = false;
    }

    QStringList played;
    int stops = 0;
    bool playing = false;
};

// While it lives: the data folder in a temporary folder, the clock stopped
// at the given moment (the system clock when invalid).
class Sandbox
{
public:
    explicit Sandbox(const QDateTime& now = {})
    {
        DataFolder::setPathForTesting(m_dir.filePath(QStringLiteral("quedrino")));
        QDir().mkpath(DataFolder::path());
        Clock::setNowForTesting(now);
    }
    ~Sandbox()
    {
        Clock::setNowForTesting({});
        DataFolder::setPathForTesting({});
    }
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QByteArray reminders() const { return readFile(DataFolder::reminderFile()); }
    bool putReminders(const QList<QByteArray>& lines) const
    {
        return writeFile(DataFolder::reminderFile(), stored(lines));
    }

private:
    QTemporaryDir m_dir;
};

#ifdef QUEDRINO_TEST_WIDGETS
// A sandbox with the main window of a running program: a tray, scripted
// message boxes, a sound that is only recorded. The window is held by a
// QPointer, so a test that closes it fails a check instead of crashing.
class Program : public Sandbox
{
public:
    explicit Program(const QDateTime& now = {}, bool tray = true)
        : Sandbox(now)
    {
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
    }

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
        m_set = getrlimit(RLIMIT_FSIZE, &m_saved) == 0;
        m_previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = m_saved;
        small.rlim_cur = bytes;
        m_set = m_set && setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit()
    {
        if (m_set) {
            setrlimit(RLIMIT_FSIZE, &m_saved);
        }
        std::signal(SIGXFSZ, m_previous);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool isSet() const { return m_set; }

private:
    rlimit m_saved{};
    void (*m_previous)(int) = SIG_DFL;
    bool m_set = false;
};
#endif

} // namespace TestSupport
using TestSupport::FakeAlarmSound;
