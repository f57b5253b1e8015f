#pragma once

#include <QPlainTextEdit>

// A multi-line text box with a length limit, like a single-line edit's
// maxLength: what is typed, pasted or dropped is cut to the room left before
// it goes in, so undo works as in any text box. Text the program puts in
// with setText is never cut, so a longer description from the file is shown
// whole. Its frame stays whole at a fractional scale (FrameOverlay).
class LimitedTextEdit : public QPlainTextEdit
{
    Q_OBJECT
    Q_PROPERTY(int maxLength READ maxLength WRITE setMaxLength)

public:
    explicit LimitedTextEdit(QWidget* parent = nullptr);

    int maxLength() const { return m_maxLength; }
    void setMaxLength(int length) { m_maxLength = length; }

    // The text with each line break as "\n"; every other character as it is.
    QString text() const;
    void setText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // Characters that may still go in, the selection counting as free.
    qsizetype room() const;
    QString fitted(const QString& incoming) const;

    int m_maxLength = -1;
};
