#pragma once

// Helpers shared by the test suites.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QString>

class QWidget; // child<>() is for the widget tests, which include it

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
