#include "WavFile.h"

#include <QFile>
#include <QtEndian>

namespace WavFile {

bool isWhole(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray riff = file.read(12);
    if (riff.size() < 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE") {
        return false;
    }
    for (;;) {
        const QByteArray chunk = file.read(8);
        if (chunk.size() < 8) {
            return false; // no sound data at all
        }
        const qint64 size = qFromLittleEndian<quint32>(chunk.constData() + 4);
        if (chunk.startsWith("data")) {
            return size > 0 && file.pos() + size <= file.size();
        }
        if (!file.seek(file.pos() + size + (size & 1)) || file.atEnd()) {
            return false;
        }
    }
}

} // namespace WavFile
