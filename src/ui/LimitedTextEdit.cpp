#include "LimitedTextEdit.h"

#include <QTextBlock>
#include <QTextCursor>

LimitedTextEdit::LimitedTextEdit(QWidget* parent)
    : QPlainTextEdit(parent)
{
    connect(document(), &QTextDocument::contentsChange, this, &LimitedTextEdit::cutExcess);
}

void LimitedTextEdit::setText(const QString& text)
{
    m_unlimited = true;
    setPlainText(text);
    m_unlimited = false;
}

void LimitedTextEdit::cutExcess(int position, int /*removed*/, int added)
{
    if (m_unlimited || m_maxLength < 0 || added <= 0) {
        return;
    }
    const int excess = int(toPlainText().size()) - m_maxLength;
    if (excess <= 0) {
        return;
    }
    // Only what was just added goes; text already there stays.
    const int cut = qMin(excess, added);
    QTextCursor cursor(document());
    cursor.setPosition(position + added - cut);
    cursor.setPosition(position + added, QTextCursor::KeepAnchor);
    m_unlimited = true;
    cursor.removeSelectedText();
    m_unlimited = false;
}
