#include "WindowDestroyedWatch.h"

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

#if __has_include(<xcb/xcb.h>)
#include <xcb/xcb.h>
#define QUEDRINO_HAVE_XCB 1
#endif

WindowDestroyedWatch::WindowDestroyedWatch(QWidget& window, std::function<void()> destroyed)
    : m_window(&window)
    , m_destroyed(std::move(destroyed))
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

bool WindowDestroyedWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
#ifdef QUEDRINO_HAVE_XCB
    if (eventType != "xcb_generic_event_t" || !m_window) {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_DESTROY_NOTIFY) {
        return false;
    }
    const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
    if (m_window->internalWinId() == 0 || destroyed->window != m_window->internalWinId()) {
        return false;
    }
    // Not from inside Qt's own event dispatch.
    QTimer::singleShot(0, m_window, m_destroyed);
#else
    Q_UNUSED(eventType)
    Q_UNUSED(message)
#endif
    return false;
}
