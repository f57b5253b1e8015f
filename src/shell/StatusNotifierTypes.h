#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>

class QDBusArgument;
class QIcon;

// The StatusNotifierItem protocol's image, (iiay): width, height and the
// pixels as ARGB32 in network byte order.
struct StatusNotifierPixmap
{
    int width = 0;
    int height = 0;
    QByteArray argb;
};
using StatusNotifierPixmaps = QList<StatusNotifierPixmap>;

// Its tooltip, (sa(iiay)ss): icon name, images, title, text.
struct StatusNotifierToolTip
{
    QString iconName;
    StatusNotifierPixmaps pixmaps;
    QString title;
    QString text;
};

Q_DECLARE_METATYPE(StatusNotifierPixmap)
Q_DECLARE_METATYPE(StatusNotifierToolTip)

namespace StatusNotifierTypes {
// Makes the types known to QtDBus; before the first object using them is exported.
void registerTypes();
// The icon at the sizes panels commonly draw.
StatusNotifierPixmaps pixmapsOf(const QIcon& icon);
} // namespace StatusNotifierTypes

QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierToolTip& tip);
const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierToolTip& tip);
