#include "LineEditAccessible.h"

#include "ui/TextUnits.h"

#include <QLineEdit>
#include <QStyle>

#include <algorithm>
#include <functional>

namespace {
using Search = std::function<std::pair<int, int>(const QString&, int, QAccessible::TextBoundaryType)>;

QString unit(const Search& search, const QString& text, int offset, QAccessible::TextBoundaryType type,
             int* startOffset, int* endOffset)
{
    const auto [start, end] = search(text, offset, type);
    *startOffset = start;
    *endOffset = end;
    return text.mid(start, end - start);
}
} // namespace

LineEditAccessible::LineEditAccessible(QLineEdit* edit)
    : QAccessibleWidget(edit, QAccessible::EditableText)
{ }

QAccessibleInterface* LineEditAccessible::create(const QString& /*className*/, QObject* object)
{
    auto* edit = qobject_cast<QLineEdit*>(object);
    return edit ? new LineEditAccessible(edit) : nullptr;
}

QLineEdit* LineEditAccessible::edit() const
{
    return static_cast<QLineEdit*>(widget());
}

int LineEditAccessible::resolved(int offset) const
{
    if (offset == -2) {
        return cursorPosition();
    }
    return offset == -1 ? characterCount() : offset;
}

std::pair<int, int> LineEditAccessible::range(int startOffset, int endOffset) const
{
    const int length = characterCount();
    const std::pair<int, int> ends = std::minmax({resolved(startOffset), resolved(endOffset)});
    const auto [start, end] = ends;
    return {std::clamp(start, 0, length), std::clamp(end, 0, length)};
}

QString LineEditAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value) {
        return edit()->text();
    }
    return QAccessibleWidget::text(t);
}

void LineEditAccessible::setText(QAccessible::Text t, const QString& text)
{
    if (t == QAccessible::Value && !edit()->isReadOnly()) {
        edit()->setText(text);
    } else {
        QAccessibleWidget::setText(t, text);
    }
}

QAccessible::State LineEditAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = !edit()->isReadOnly();
    state.readOnly = edit()->isReadOnly();
    state.selectableText = true;
    state.focusable = true;
    return state;
}

void* LineEditAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface) {
        return static_cast<QAccessibleTextInterface*>(this);
    }
    if (t == QAccessible::EditableTextInterface) {
        return static_cast<QAccessibleEditableTextInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(t);
}

void LineEditAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex == 0 && edit()->hasSelectedText()) {
        *startOffset = edit()->selectionStart();
        *endOffset = *startOffset + int(edit()->selectedText().size());
    }
}

int LineEditAccessible::selectionCount() const
{
    return edit()->hasSelectedText() ? 1 : 0;
}

void LineEditAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void LineEditAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0) {
        edit()->deselect();
    }
}

void LineEditAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0) {
        const auto [start, end] = range(startOffset, endOffset);
        edit()->setSelection(start, end - start);
    }
}

int LineEditAccessible::cursorPosition() const
{
    return edit()->cursorPosition();
}

void LineEditAccessible::setCursorPosition(int position)
{
    edit()->setCursorPosition(position);
}

QString LineEditAccessible::text(int startOffset, int endOffset) const
{
    const auto [start, end] = range(startOffset, endOffset);
    return edit()->text().mid(start, end - start);
}

QString LineEditAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                             int* startOffset, int* endOffset) const
{
    return unit(TextUnits::before, edit()->text(), resolved(offset), boundaryType, startOffset, endOffset);
}

QString LineEditAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                            int* startOffset, int* endOffset) const
{
    return unit(TextUnits::after, edit()->text(), resolved(offset), boundaryType, startOffset, endOffset);
}

QString LineEditAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                         int* startOffset, int* endOffset) const
{
    return unit(TextUnits::around, edit()->text(), resolved(offset), boundaryType, startOffset, endOffset);
}

int LineEditAccessible::characterCount() const
{
    return int(edit()->text().size());
}

QRect LineEditAccessible::characterRect(int offset) const
{
    const QString all = edit()->text();
    if (offset < 0 || offset >= all.size()) {
        return {};
    }
    // The text as the field lays it out: in its contents, aligned as set.
    const QFontMetrics metrics = edit()->fontMetrics();
    const QRect room = edit()->contentsRect().adjusted(2, 0, -2, 0);
    const QRect line = QStyle::alignedRect(edit()->layoutDirection(), edit()->alignment(),
                                           QSize(metrics.horizontalAdvance(all), metrics.height()), room);
    const QRect character(line.left() + metrics.horizontalAdvance(all.left(offset)), line.top(),
                          metrics.horizontalAdvance(all.at(offset)), line.height());
    return QRect(edit()->mapToGlobal(character.topLeft()), character.size());
}

int LineEditAccessible::offsetAtPoint(const QPoint& point) const
{
    const QPoint local = edit()->mapFromGlobal(point);
    return edit()->rect().contains(local) ? edit()->cursorPositionAt(local) : -1;
}

void LineEditAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    edit()->setCursorPosition(endIndex);
    edit()->setCursorPosition(startIndex);
}

QString LineEditAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    // One run of plain text, the whole field.
    Q_UNUSED(offset);
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

void LineEditAccessible::deleteText(int startOffset, int endOffset)
{
    replaceText(startOffset, endOffset, QString());
}

void LineEditAccessible::insertText(int offset, const QString& text)
{
    replaceText(offset, offset, text);
}

void LineEditAccessible::replaceText(int startOffset, int endOffset, const QString& text)
{
    if (!edit()->isReadOnly()) {
        const auto [start, end] = range(startOffset, endOffset);
        edit()->setText(edit()->text().replace(start, end - start, text));
    }
}
