#pragma once

#include <QPlainTextEdit>

// A multi-line text box with a length limit, like a single-line edit's
// maxLength: typing, pasting or dropping past the limit is cut off at the
// limit. Text the program puts in with setText is never cut, so a longer
// description from the file is shown whole.
class LimitedTextEdit : public QPlainTextEdit
{
    Q_OBJECT
    Q_PROPERTY(int maxLength READ maxLength WRITE setMaxLength)

public:
    explicit LimitedTextEdit(QWidget* parent = nullptr);

    int maxLength() const { return m_maxLength; }
    void setMaxLength(int length) { m_maxLength = length; }

    QString text() const { return toPlainText(); }
    void setText(const QString& text);

private:
    void cutExcess(int position, int removed, int added);

    int m_maxLength = -1;
    bool m_unlimited = false;
};
