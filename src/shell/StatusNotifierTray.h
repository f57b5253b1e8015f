#pragma once

#include <QObject>
#include <QPoint>

#include <memory>

class QIcon;

// The program's own icon in a StatusNotifier notification area (the D-Bus
// tray of KDE, of Wayland panels, of GNOME's AppIndicator extension) that
// appears after start-up. Qt decides once, at its first tray call, whether
// such an area exists and never looks again, so its own icon would never go
// there. Where the platform has no session bus this never becomes ready.
class StatusNotifierTray : public QObject
{
    Q_OBJECT

public:
    // Starts watching the session bus at once.
    explicit StatusNotifierTray(QObject* parent);
    ~StatusNotifierTray() override;

    // Puts the icon with its tip into the area, and again whenever the area
    // itself restarts, until hide().
    void show(const QIcon& icon, const QString& tip);
    void hide();

Q_SIGNALS:
    // An area is there that shows icons (a watcher with a host).
    void ready();
    // The area asks for the icon's menu (the right button over the icon).
    void menuRequested(QPoint globalPosition);

private Q_SLOTS:
    void askForHost();

private:
    struct State;
    std::unique_ptr<State> m_state;
};
