#include "TrayClickFilter.h"

#include <QMenu>
#include <QMouseEvent>

TrayClickFilter::TrayClickFilter(QMenu& menu, QObject* parent)
    : QObject(parent)
    , m_menu(menu)
{ }

bool TrayClickFilter::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease) {
        return false;
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    // Qt's own widget for the icon; it opens the menu on the press.
    if (mouse->button() != Qt::RightButton || !watched->inherits("QSystemTrayIconSys")) {
        return false;
    }
    if (type == QEvent::MouseButtonRelease && m_menu.isEnabled()) {
        m_menu.popup(mouse->globalPosition().toPoint());
    }
    return true;
}
