#include "Windows1252.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {
constexpr const char* Name = "windows-1252";
}

namespace Windows1252 {

bool isAvailable()
{
    static const bool available = QStringEncoder(Name).isValid() && QStringDecoder(Name).isValid();
    return available;
}

QString decode(const QByteArray& bytes)
{
    QStringDecoder decoder(Name);
    return decoder.decode(bytes);
}

QByteArray encode(const QString& text)
{
    QStringEncoder encoder(Name);
    QByteArray bytes = encoder.encode(text);
    if (!encoder.hasError()) {
        return bytes;
    }
    // The converter marks unmappable characters with its own substitute byte,
    // which cannot be told apart from a real one; redo it one code point at a
    // time so that exactly the unmappable ones become "?".
    bytes.clear();
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype width = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        QStringEncoder single(Name);
        const QByteArray one = single.encode(QStringView(text).mid(i, width));
        bytes += single.hasError() ? QByteArray("?") : one;
        i += width - 1;
    }
    return bytes;
}

} // namespace Windows1252
