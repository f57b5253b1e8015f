#pragma once

#include <QLabel>

// A label that reacts to a left click, for the links and the badge pictures,
// with the program's pointing hand over it.
class ClickableLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ClickableLabel(QWidget* parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
