#include "WavFile.h"

#include <QFile>
#include <QtEndian>

namespace {
struct Walk
{
    bool whole = false;
    QByteArray format;
};

// Through the chunks up to the sound data, keeping the format chunk met on
// the way.
Walk walk(const QString& path)
{
    Walk found;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return found;
    }
    const QByteArray riff = file.read(12);
    if (riff.size() < 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE") {
        return found;
    }
    for (;;) {
        const QByteArray chunk = file.read(8);
        if (chunk.size() < 8) {
            return found; // no sound data at all
        }
        const qint64 size = qFromLittleEndian<quint32>(chunk.constData() + 4);
        if (chunk.startsWith("data")) {
            found.whole = size > 0 && file.pos() + size <= file.size();
            return found;
        }
        if (chunk.startsWith("fmt ")) {
            found.format = file.peek(size);
            if (found.format.size() < size) {
                found.format.clear();
                return found;
            }
        }
        if (!file.seek(file.pos() + size + (size & 1)) || file.atEnd()) {
            return found;
        }
    }
}
} // namespace

namespace WavFile {

bool isWhole(const QString& path)
{
    return walk(path).whole;
}

QByteArray format(const QString& path)
{
    return walk(path).format;
}

} // namespace WavFile
