#pragma once

#include <QObject>

class LimitedTextEdit;

// A description is stored as the tail of one line of the reminder file, so
// releasing Enter in a description box takes every line break out of its
// whole text and puts the caret at the end. Other keys are left alone.
class EnterKeyFilter : public QObject
{
    Q_OBJECT

public:
    static void install(LimitedTextEdit* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};
