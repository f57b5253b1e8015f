// Loads arbitrary bytes as the reminder file, then deletes through it, and
// checks each step against the plain line splitter and moment reader.

#include "Reference.h"

#include "reminders/ReminderFile.h"
#include "reminders/Windows1252.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

namespace {

const QString& filePath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        CHECK(dir.isValid());
        return dir.filePath(QStringLiteral("lembretes.txt"));
    }();
    return path;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    CHECK(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    CHECK(file.write(bytes) == bytes.size());
}

QByteArray joinCrLf(const QList<QByteArray>& lines, qsizetype skip)
{
    QByteArray content;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i != skip) {
            content += lines[i] + "\r\n";
        }
    }
    return content;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString& path = filePath();
    writeAll(path, bytes);
    const ReminderFile file(path);
    const QList<QByteArray> lines = Reference::splitLines(bytes);

    const LoadResult loaded = file.CarregaLembretes();
    CHECK(loaded.loaded());
    CHECK(loaded.entries.size() == lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        CHECK(Windows1252::encode(loaded.entries[i].toLine()) == lines[i]);
    }

    // Matching nothing, the rewrite only makes every line end CR LF.
    CHECK(file.apaga(QString(), QString()).ok());
    CHECK(readAll(path) == joinCrLf(lines, -1));

    QList<qsizetype> readable;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (Reference::readMoment(lines[i])) {
            readable << i;
        }
    }
    if (readable.isEmpty()) {
        return 0;
    }
    const QByteArray& chosen = lines[readable[data[0] % readable.size()]];
    const Reference::Moment moment = *Reference::readMoment(chosen);
    qsizetype last = -1;
    for (const qsizetype i : readable) {
        if (*Reference::readMoment(lines[i]) == moment) {
            last = i;
        }
    }
    const QString text = Windows1252::decode(chosen);
    CHECK(file.apaga(text.left(10), text.mid(10, 5)).ok());
    CHECK(readAll(path) == joinCrLf(lines, last));
    return 0;
}
