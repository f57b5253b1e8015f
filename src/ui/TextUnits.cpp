#include "TextUnits.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace TextUnits {

std::pair<int, int> around(const QString& text, int offset, QAccessible::TextBoundaryType type)
{
    const int length = int(text.size());
    offset = std::clamp(offset, 0, length);
    if (type == QAccessible::CharBoundary && offset == length) {
        return {length, length};
    }
    if (length == 0
        || (type != QAccessible::CharBoundary && type != QAccessible::WordBoundary
            && type != QAccessible::SentenceBoundary)) {
        // A one-line text is one line and one paragraph.
        return {0, length};
    }
    // A character is what the user sees as one: a surrogate pair or a
    // letter with its combining accent is never split.
    const QTextBoundaryFinder::BoundaryType kind = type == QAccessible::CharBoundary
        ? QTextBoundaryFinder::Grapheme
        : type == QAccessible::WordBoundary ? QTextBoundaryFinder::Word
                                            : QTextBoundaryFinder::Sentence;
    QTextBoundaryFinder finder(kind, text);
    int start = 0;
    for (qsizetype next = finder.toNextBoundary(); next > start; next = finder.toNextBoundary()) {
        if (next > offset || next >= length) {
            return {start, int(next)};
        }
        start = int(next);
    }
    return {start, length};
}

std::pair<int, int> before(const QString& text, int offset, QAccessible::TextBoundaryType type)
{
    const int start = around(text, offset, type).first;
    return start > 0 ? around(text, start - 1, type) : std::pair(0, 0);
}

std::pair<int, int> after(const QString& text, int offset, QAccessible::TextBoundaryType type)
{
    const int length = int(text.size());
    const int end = around(text, offset, type).second;
    return end < length ? around(text, end, type) : std::pair(length, length);
}

} // namespace TextUnits
