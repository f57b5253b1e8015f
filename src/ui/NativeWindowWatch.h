#pragma once

#include <QAbstractNativeEventFilter>
#include <QPointer>

#include <functional>

class QWidget;

// Tells when another program takes a window's native window away under Qt:
// destroys it outright with no close request first, or unmaps it (an X
// client may do either to any window). Qt then keeps the widget as shown and
// unaware; the owner must end or restore it its own way. The unmapping is
// also reported when it is the window manager minimizing the window, or Qt
// hiding it: the owner tells those apart. On platforms where no one else can
// do either, it never fires.
class NativeWindowWatch : public QAbstractNativeEventFilter
{
public:
    NativeWindowWatch(QWidget& window, std::function<void()> destroyed, std::function<void()> unmapped);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    QPointer<QWidget> m_window;
    std::function<void()> m_destroyed;
    std::function<void()> m_unmapped;
};
