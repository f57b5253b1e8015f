#include "EnterKeyFilter.h"

#include "ui/LimitedTextEdit.h"

#include <QKeyEvent>
#include <QTextCursor>

void EnterKeyFilter::install(LimitedTextEdit* box)
{
    box->installEventFilter(new EnterKeyFilter(box));
}

bool EnterKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyRelease) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    // Held down, Enter repeats; the one real release cleans them all up.
    if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || key->isAutoRepeat()) {
        return false;
    }
    auto* box = qobject_cast<LimitedTextEdit*>(watched);
    if (!box) {
        return false;
    }
    const QString text = box->text();
    QString kept = text;
    kept.remove(QLatin1Char('\r'));
    kept.remove(QLatin1Char('\n'));
    QTextCursor cursor(box->document());
    if (kept != text) {
        // One edit, so a single undo brings the breaks back.
        cursor.select(QTextCursor::Document);
        cursor.insertText(kept);
    }
    cursor.movePosition(QTextCursor::End);
    box->setTextCursor(cursor);
    return false;
}
