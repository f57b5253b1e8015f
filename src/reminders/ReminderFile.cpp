#include "ReminderFile.h"

#include "DataFolder.h"
#include "MomentText.h"
#include "Windows1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const QByteArray LineEnd("\r\n");

QStringList splitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines << text.mid(start, i - start);
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) {
                ++i;
            }
            start = i + 1;
        }
    }
    if (start < text.size()) {
        lines << text.mid(start);
    }
    return lines;
}

// A line break inside a field would split the reminder in two, so none is
// ever written, whichever way it got into the text.
QByteArray encodeLine(const Lembrete& lembrete)
{
    QString line = lembrete.toLine();
    line.remove(QLatin1Char('\r'));
    line.remove(QLatin1Char('\n'));
    return Windows1252::encode(line) + LineEnd;
}

QString readError(const QString& path, const QString& reason)
{
    return QStringLiteral("Não foi possível ler o arquivo de lembretes %1: %2")
        .arg(QDir::toNativeSeparators(path), reason);
}

#ifdef Q_OS_UNIX
// Reads the whole file with plain system calls: the due scan does this every
// millisecond, and QFile would add two status checks and a seek to the one
// status check the regular-file rule needs. Only a regular file is read: a
// pipe put in its place would hold a plain open until something wrote to
// it, freezing the program, and a device could be read for ever. Missing
// means nothing at the path at all; with readTo null only the open and the
// status check are done.
LoadResult::Status readFile(const QByteArray& native, const QString& path, QByteArray* readTo, QString& error)
{
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        // A folder on the way that cannot be entered hides the file without
        // removing it: a failure, or a deletion would report success and the
        // scan would stop.
        const int why = errno;
        if (why == ENOENT || why == ENOTDIR) {
            return LoadResult::Status::Missing;
        }
        error = readError(path, qt_error_string(why));
        return LoadResult::Status::Failed;
    }
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        error = readError(path,
                          S_ISDIR(info.st_mode) ? QStringLiteral("é uma pasta")
                                                : QStringLiteral("não é um arquivo comum"));
        return LoadResult::Status::Failed;
    }
    if (!readTo) {
        ::close(fd);
        return LoadResult::Status::Loaded;
    }
    // The status check already gave the size, so a file read up to exactly
    // that size, with room for one byte more, is read whole in one call; a
    // change after that is for the next read of the file to see. A file that
    // grew meanwhile, or whose status says nothing of its size (0, as /proc
    // files give), is read on until a read finds nothing more.
    const qsizetype size = qsizetype(info.st_size);
    QByteArray content(size + 1, Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        if (filled == content.size()) {
            content.resize(content.size() * 2);
        }
        const ssize_t got = ::read(fd, content.data() + filled, size_t(content.size() - filled));
        if (got > 0) {
            filled += got;
            if (filled == size) {
                break;
            }
        } else if (got == 0) {
            break;
        } else if (errno != EINTR) {
            const int why = errno;
            ::close(fd);
            error = readError(path, qt_error_string(why));
            return LoadResult::Status::Failed;
        }
    }
    ::close(fd);
    content.truncate(filled);
    *readTo = std::move(content);
    return LoadResult::Status::Loaded;
}
#else
LoadResult::Status readFile(const QByteArray&, const QString& path, QByteArray* readTo, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const QFileInfo info(path);
        if (!info.exists()) {
            return LoadResult::Status::Missing;
        }
        error = readError(path, info.isDir() ? QStringLiteral("é uma pasta") : file.errorString());
        return LoadResult::Status::Failed;
    }
    if (readTo) {
        *readTo = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            error = readError(path, file.errorString());
            return LoadResult::Status::Failed;
        }
    }
    return LoadResult::Status::Loaded;
}
#endif

// Reads the raw bytes. Missing means nothing at the path at all.
LoadResult::Status readBytes(const QByteArray& native, const QString& path, QByteArray& bytes, QString& error)
{
    return readFile(native, path, &bytes, error);
}

// The index of the last entry at this date and time, or -1. The date is
// compared as a calendar date and the time as "hh:mm:ss" text; entries that
// do not read as a date and a time never match.
qsizetype lastMatch(const QList<Lembrete>& entries, const QString& data, const QString& hora)
{
    const QDate targetDate = MomentText::readDate(data);
    const QTime targetTime = MomentText::readTime(hora);
    if (!targetDate.isValid() || !targetTime.isValid()) {
        return -1;
    }
    const QString targetClock = MomentText::timeTextWithSeconds(targetTime);
    qsizetype found = -1;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QDate date = MomentText::readDate(entries[i].data);
        const QTime time = MomentText::readTime(entries[i].hora);
        if (date.isValid() && time.isValid() && date == targetDate
            && MomentText::timeTextWithSeconds(time) == targetClock) {
            found = i;
        }
    }
    return found;
}

QByteArray joinLines(const QList<Lembrete>& entries, qsizetype skip)
{
    QByteArray content;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (i != skip) {
            content += encodeLine(entries[i]);
        }
    }
    return content;
}

// The replacement is a new file, owned by whoever writes it. Run by root
// (sudo) on a user's reminders, it is given back to their owner, so the user
// can still change them afterwards. Anyone else cannot give a file away, and
// leaves it as it is.
void keepOwner(QSaveFile& file, const QFileInfo& existing)
{
#ifdef Q_OS_UNIX
    if (existing.exists() && (existing.ownerId() != ::geteuid() || existing.groupId() != ::getegid())) {
        [[maybe_unused]] const int ignored = ::fchown(file.handle(), existing.ownerId(), existing.groupId());
    }
#else
    Q_UNUSED(file);
    Q_UNUSED(existing);
#endif
}

} // namespace

bool ArquivoExiste(const QString& path)
{
    QString error;
    return readFile(QFile::encodeName(path), path, nullptr, error) == LoadResult::Status::Loaded;
}

ReminderFile::ReminderFile(const QString& path)
    : m_path(path)
    , m_nativePath(QFile::encodeName(path))
{ }

bool ReminderFile::ArquivoExiste() const
{
    QString error;
    return readFile(m_nativePath, m_path, nullptr, error) == LoadResult::Status::Loaded;
}

bool ReminderFile::HorarioLivre(const QString& momento) const
{
    const QDateTime wanted = MomentText::readMoment(momento);
    QByteArray bytes;
    QString error;
    if (readBytes(m_nativePath, m_path, bytes, error) != LoadResult::Status::Loaded || !wanted.isValid()) {
        // Nothing readable holds the moment. An unreadable file fails at the
        // write that follows, with its reason.
        return true;
    }
    for (const QString& line : splitLines(Windows1252::decode(bytes))) {
        const Lembrete entry = Lembrete::fromLine(line);
        if (MomentText::readMoment(entry.momento()) == wanted) {
            return false;
        }
    }
    return true;
}

LoadResult::Status ReminderFile::readRaw(QByteArray& bytes, QString& error) const
{
    return readBytes(m_nativePath, m_path, bytes, error);
}

LoadResult ReminderFile::CarregaLembretes() const
{
    LoadResult result;
    QByteArray bytes;
    result.status = readBytes(m_nativePath, m_path, bytes, result.error);
    if (result.status == LoadResult::Status::Loaded) {
        const QStringList lines = splitLines(Windows1252::decode(bytes));
        result.entries.reserve(lines.size());
        for (const QString& line : lines) {
            result.entries << Lembrete::fromLine(line);
        }
    }
    return result;
}

Outcome ReminderFile::GravaLembrete(const Lembrete& lembrete) const
{
    QByteArray content;
    QString error;
    if (readBytes(m_nativePath, m_path, content, error) == LoadResult::Status::Failed) {
        return Outcome::failure(error);
    }
    if (!content.isEmpty() && !content.endsWith('\n') && !content.endsWith('\r')) {
        content += LineEnd;
    }
    return write(content + encodeLine(lembrete));
}

Outcome ReminderFile::apaga(const QString& data, const QString& hora) const
{
    const LoadResult loaded = CarregaLembretes();
    if (loaded.status == LoadResult::Status::Missing) {
        return Outcome::success();
    }
    if (!loaded.loaded()) {
        return Outcome::failure(loaded.error);
    }
    return write(joinLines(loaded.entries, lastMatch(loaded.entries, data, hora)));
}

Outcome ReminderFile::substitui(const QString& data, const QString& hora, const Lembrete& novo) const
{
    const LoadResult loaded = CarregaLembretes();
    if (loaded.status == LoadResult::Status::Failed) {
        return Outcome::failure(loaded.error);
    }
    return write(joinLines(loaded.entries, lastMatch(loaded.entries, data, hora)) + encodeLine(novo));
}

Outcome ReminderFile::write(const QByteArray& content) const
{
    const QString native = QDir::toNativeSeparators(m_path);
    const auto failed = [&native](const QString& reason) {
        return Outcome::failure(
            QStringLiteral("Não foi possível gravar o arquivo de lembretes %1: %2").arg(native, reason));
    };
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QFileInfo(folder).isDir() && !DataFolder::makePrivateFolder(folder)) {
        return failed(QStringLiteral("a pasta %1 não pôde ser criada").arg(QDir::toNativeSeparators(folder)));
    }
    const QFileInfo existing(m_path);
    QSaveFile file(m_path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        return failed(file.errorString());
    }
    // QSaveFile gives a rewrite the old file's permissions, but a new file
    // the umask's, often readable by everyone.
    if (!existing.exists()) {
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
    keepOwner(file, existing);
    if (file.write(content) != content.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failed(reason);
    }
    if (!file.commit()) {
        return failed(file.errorString());
    }
    return Outcome::success();
}
