#include "Windows1252.h"

#include <algorithm>
#include <array>
#include <optional>

// A table of its own: Qt converts Windows-1252 only through ICU, which its
// Windows builds often lack.
namespace {

// Bytes 0x80 to 0x9f; the rest is Latin-1. The five bytes the code page
// leaves undefined stand for the control characters of the same number.
constexpr std::array<char16_t, 32> High = {
    0x20ac, 0x0081, 0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, //
    0x02c6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008d, 0x017d, 0x008f, //
    0x0090, 0x2018, 0x2019, 0x201c, 0x201d, 0x2022, 0x2013, 0x2014, //
    0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0x009d, 0x017e, 0x0178, //
};

// The byte for the code point, or none.
std::optional<char> byteFor(char32_t c)
{
    if (c < 0x80 || (c >= 0xa0 && c <= 0xff)) {
        return char(c);
    }
    const auto* found = std::find(High.begin(), High.end(), c);
    if (found == High.end()) {
        return std::nullopt;
    }
    return char(0x80 + (found - High.begin()));
}

} // namespace

namespace Windows1252 {

QString decode(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        *out++ = QChar(b >= 0x80 && b < 0xa0 ? High[b - 0x80] : char16_t(b));
    }
    return text;
}

QByteArray encode(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        bytes += byteFor(c).value_or('?');
    }
    return bytes;
}

} // namespace Windows1252
