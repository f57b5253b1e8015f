#include "ShortcutClicks.h"

#include <QAbstractButton>
#include <QShortcutEvent>

namespace {
class ClickAtOnce : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Shortcut && !static_cast<QShortcutEvent*>(event)->isAmbiguous()) {
            auto* button = static_cast<QAbstractButton*>(watched);
            if (button->isEnabled()) {
                button->click();
            }
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};
} // namespace

namespace ShortcutClicks {

void install(QWidget* window)
{
    auto* filter = new ClickAtOnce(window);
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (!button->shortcut().isEmpty()) {
            button->installEventFilter(filter);
        }
    }
}

} // namespace ShortcutClicks
