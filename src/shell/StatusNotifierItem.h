#pragma once

#include "shell/StatusNotifierTypes.h"

#include <QObject>
#include <QPoint>

// The object a StatusNotifier host reads and calls, exported on the session
// bus: a fixed icon with its tip, and a menu on request. A left click
// (Activate) and a middle click (SecondaryActivate) do nothing; the host
// asks for the menu (ContextMenu) when the right button is released.
class StatusNotifierItem : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category CONSTANT)
    Q_PROPERTY(QString Id READ id CONSTANT)
    Q_PROPERTY(QString Title READ title CONSTANT)
    Q_PROPERTY(QString Status READ status CONSTANT)
    Q_PROPERTY(int WindowId READ windowId CONSTANT)
    Q_PROPERTY(QString IconName READ iconName CONSTANT)
    Q_PROPERTY(StatusNotifierPixmaps IconPixmap READ iconPixmap CONSTANT)
    Q_PROPERTY(StatusNotifierToolTip ToolTip READ toolTip CONSTANT)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu CONSTANT)

public:
    StatusNotifierItem(const StatusNotifierPixmaps& pixmaps, const QString& tip, QObject* parent);

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const { return QStringLiteral("quedrino"); }
    QString title() const { return m_tip; }
    QString status() const { return QStringLiteral("Active"); }
    int windowId() const { return 0; }
    QString iconName() const { return {}; }
    StatusNotifierPixmaps iconPixmap() const { return m_pixmaps; }
    StatusNotifierToolTip toolTip() const { return {{}, {}, m_tip, {}}; }
    bool itemIsMenu() const { return false; }

public Q_SLOTS:
    Q_SCRIPTABLE void ContextMenu(int x, int y);
    Q_SCRIPTABLE void Activate(int x, int y);
    Q_SCRIPTABLE void SecondaryActivate(int x, int y);
    Q_SCRIPTABLE void Scroll(int delta, const QString& orientation);

Q_SIGNALS:
    void menuRequested(QPoint globalPosition);

private:
    StatusNotifierPixmaps m_pixmaps;
    QString m_tip;
};
