#pragma once

#include <QAbstractNativeEventFilter>
#include <QPointer>

#include <functional>

class QWidget;

// Tells when another program destroys a window's native window outright,
// with no close request first (an X client may do that to any window). Qt
// then keeps the widget, shown and unaware; the owner must end it its own
// way. On platforms where no one else can do that it never fires.
class WindowDestroyedWatch : public QAbstractNativeEventFilter
{
public:
    WindowDestroyedWatch(QWidget& window, std::function<void()> destroyed);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    QPointer<QWidget> m_window;
    std::function<void()> m_destroyed;
};
