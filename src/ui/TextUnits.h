#pragma once

#include <QAccessible>
#include <QString>

#include <utility>

// The unit of text (character, word, sentence, line...) around an offset, as
// a screen reader asks for it: [start, end) with 0 <= start <= end <= length.
// Every offset from 0 to the length has an answer; at the length itself a
// word or sentence is the last one and a character is the empty one there.
// The search walks the text's boundaries once from the start, so it always
// ends, unlike Qt's own search, which never ends at the offset just past the
// last character.
namespace TextUnits {

std::pair<int, int> around(const QString& text, int offset, QAccessible::TextBoundaryType type);

// The unit before or after the one around offset; an empty range at the
// text's start or end when there is none.
std::pair<int, int> before(const QString& text, int offset, QAccessible::TextBoundaryType type);
std::pair<int, int> after(const QString& text, int offset, QAccessible::TextBoundaryType type);

} // namespace TextUnits
