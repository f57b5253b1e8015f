#include "LimitedTextEdit.h"

#include "ui/FrameOverlay.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>

LimitedTextEdit::LimitedTextEdit(QWidget* parent)
    : QPlainTextEdit(parent)
{
    new FrameOverlay(*this);
}

QString LimitedTextEdit::text() const
{
    // Unlike toPlainText, this keeps non-breaking spaces as they are.
    QString raw = document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    raw.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return raw;
}

void LimitedTextEdit::setText(const QString& text)
{
    setPlainText(text);
}

qsizetype LimitedTextEdit::room() const
{
    const QTextCursor cursor = textCursor();
    const qsizetype length = document()->characterCount() - 1;
    return m_maxLength - (length - (cursor.selectionEnd() - cursor.selectionStart()));
}

QString LimitedTextEdit::fitted(const QString& incoming) const
{
    // A pasted CR LF becomes one line break, so it counts as one.
    QString text = incoming;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    qsizetype keep = std::max<qsizetype>(0, room());
    if (keep >= text.size()) {
        return text;
    }
    if (keep > 0 && text.at(keep - 1).isHighSurrogate()) {
        --keep; // never half a character
    }
    return text.left(keep);
}

void LimitedTextEdit::keyPressEvent(QKeyEvent* event)
{
    // Text a key puts in; Ctrl shortcuts and control keys (Backspace, Esc)
    // put none. AltGr arrives as Ctrl+Alt on Windows and does type text.
    const QString typed = event->text();
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool shortcut = (mods & Qt::ControlModifier) && !(mods & Qt::AltModifier);
    const bool inserts = m_maxLength >= 0 && !typed.isEmpty() && !shortcut
        && std::none_of(typed.cbegin(), typed.cend(), [](QChar c) {
                             return c.category() == QChar::Other_Control && c != QLatin1Char('\r');
                         });
    if (!inserts || typed.size() <= room()) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    const QString part = fitted(typed);
    if (!part.isEmpty()) {
        insertPlainText(part);
    }
}

void LimitedTextEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (m_maxLength < 0 || event->commitString().size() <= room()) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent cut(event->preeditString(), event->attributes());
    cut.setCommitString(fitted(event->commitString()), event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&cut);
    event->accept();
}

void LimitedTextEdit::insertFromMimeData(const QMimeData* source)
{
    if (m_maxLength < 0 || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QMimeData cut;
    cut.setText(fitted(source->text()));
    QPlainTextEdit::insertFromMimeData(&cut);
}
