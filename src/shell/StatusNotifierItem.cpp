#include "StatusNotifierItem.h"

#include <QCursor>

StatusNotifierItem::StatusNotifierItem(const StatusNotifierPixmaps& pixmaps, const QString& tip,
                                       QObject* parent)
    : QObject(parent)
    , m_pixmaps(pixmaps)
    , m_tip(tip)
{ }

void StatusNotifierItem::ContextMenu(int x, int y)
{
    // Hosts that cannot tell where the icon is on the screen (most Wayland
    // panels) send 0, 0: the pointer is over the icon just clicked.
    Q_EMIT menuRequested(x == 0 && y == 0 ? QCursor::pos() : QPoint(x, y));
}

void StatusNotifierItem::Activate(int, int) { }

void StatusNotifierItem::SecondaryActivate(int, int) { }

void StatusNotifierItem::Scroll(int, const QString&) { }
