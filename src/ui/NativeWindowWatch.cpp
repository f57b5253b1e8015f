#include "NativeWindowWatch.h"

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

#if __has_include(<xcb/xcb.h>)
#include <xcb/xcb.h>
#define QUEDRINO_HAVE_XCB 1
#endif

NativeWindowWatch::NativeWindowWatch(QWidget& window, std::function<void()> destroyed,
                                     std::function<void()> unmapped)
    : m_window(&window)
    , m_destroyed(std::move(destroyed))
    , m_unmapped(std::move(unmapped))
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

bool NativeWindowWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
#ifdef QUEDRINO_HAVE_XCB
    if (eventType != "xcb_generic_event_t" || !m_window || m_window->internalWinId() == 0) {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const auto ours = [this](xcb_window_t window) { return window == m_window->internalWinId(); };
    // Not from inside Qt's own event dispatch.
    switch (event->response_type & 0x7f) {
    case XCB_DESTROY_NOTIFY:
        if (ours(static_cast<const xcb_destroy_notify_event_t*>(message)->window)) {
            QTimer::singleShot(0, m_window, m_destroyed);
        }
        break;
    case XCB_UNMAP_NOTIFY:
        if (ours(static_cast<const xcb_unmap_notify_event_t*>(message)->window)) {
            QTimer::singleShot(0, m_window, m_unmapped);
        }
        break;
    default:
        break;
    }
#else
    Q_UNUSED(eventType)
    Q_UNUSED(message)
#endif
    return false;
}
