#pragma once

#include <QObject>

class QMenu;

// Opens the tray menu when the right button is released over the tray icon,
// not when it is pressed. Where the program draws the icon itself (the
// XEmbed icon of an X11 notification area is a widget of the program), the
// press is swallowed and the menu pops up at the pointer on the release.
// Where the notification area draws the icon and its menu (StatusNotifier
// hosts), the host decides, and no event reaches this filter.
class TrayClickFilter : public QObject
{
    Q_OBJECT

public:
    TrayClickFilter(QMenu& menu, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMenu& m_menu;
};
