#include "Windows1252.h"

#include <array>

namespace {

// Bytes 0x80 to 0x9F, where the code page differs from Latin-1. The five it
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 controls
// of the same number, so that they too come back as the byte they were.
// clang-format off
constexpr std::array<char16_t, 32> High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
// clang-format on

// The byte for one UTF-16 unit, or '?'.
char encodeUnit(char16_t unit)
{
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
        return char(unit);
    }
    for (std::size_t i = 0; i < High.size(); ++i) {
        if (High[i] == unit) {
            return char(0x80 + i);
        }
    }
    return '?';
}

} // namespace

namespace Windows1252 {

QString decode(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        *out++ = QChar(value >= 0x80 && value < 0xA0 ? High[value - 0x80] : char16_t(value));
    }
    return text;
}

QByteArray encode(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        // A character outside the first plane is two units and one "?".
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
            bytes += '?';
        } else {
            bytes += c.isSurrogate() ? '?' : encodeUnit(c.unicode());
        }
    }
    return bytes;
}

} // namespace Windows1252
