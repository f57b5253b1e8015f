#include "InputBlock.h"

#include <QPointer>
#include <QWidget>

namespace {
// Lives as a child of the blocked widget while any block is on it.
class Block : public QObject
{
public:
    Block(QWidget* widget, QWidget* focus)
        : QObject(widget)
        , focus(focus)
    {
        setObjectName(QStringLiteral("quedrinoInputBlock"));
    }

    int depth = 1;
    QPointer<QWidget> focus;
};

Block* blockOn(QWidget* widget)
{
    return widget->findChild<Block*>(QStringLiteral("quedrinoInputBlock"), Qt::FindDirectChildrenOnly);
}
} // namespace

namespace InputBlock {

void block(QWidget* widget)
{
    if (Block* existing = blockOn(widget)) {
        ++existing->depth;
        return;
    }
    QWidget* focus = widget->window()->focusWidget();
    new Block(widget, focus && widget->isAncestorOf(focus) ? focus : nullptr);
    widget->setEnabled(false);
}

void unblock(QWidget* widget)
{
    Block* existing = blockOn(widget);
    if (existing && --existing->depth > 0) {
        return;
    }
    const QPointer<QWidget> focus = existing ? existing->focus : nullptr;
    delete existing;
    widget->setEnabled(true);
    if (focus && focus->isVisible()) {
        focus->setFocus(Qt::OtherFocusReason);
    }
}

void giveFocus(QWidget* widget)
{
    for (QWidget* holder = widget; holder; holder = holder->parentWidget()) {
        if (Block* existing = blockOn(holder)) {
            existing->focus = widget;
            return;
        }
    }
    // Not to a field whose panel was replaced meanwhile: Qt would give a
    // hidden widget the keys.
    if (widget->isVisible()) {
        widget->setFocus(Qt::OtherFocusReason);
    }
}

} // namespace InputBlock
