#include "InputPause.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

namespace {
Qt::KeyboardModifiers modifierOf(int key)
{
    switch (key) {
    case Qt::Key_Shift:
        return Qt::ShiftModifier;
    case Qt::Key_Control:
        return Qt::ControlModifier;
    case Qt::Key_Alt:
        return Qt::AltModifier;
    case Qt::Key_Meta:
        return Qt::MetaModifier;
    default:
        return Qt::NoModifier;
    }
}

// The physical key where the platform names it: a key's text and Qt code
// may change between its press and its release with the modifiers.
quint32 keyId(const QKeyEvent& key)
{
    return key.nativeScanCode() != 0 ? key.nativeScanCode() : quint32(key.key()) | 0x80000000u;
}
} // namespace

InputPause::InputPause(QWidget& window)
    : QObject(&window)
    , m_window(window)
{
    qApp->installEventFilter(this);
}

InputPause::~InputPause()
{
    qApp->removeEventFilter(this);
}

bool InputPause::holding() const
{
    // Before it is on screen no key or click can reach it.
    return m_exposed && m_shown.elapsed() < Moment.count();
}

bool InputPause::inWindow(QObject* object) const
{
    if (object->isWidgetType()) {
        return static_cast<QWidget*>(object)->window() == &m_window;
    }
    return object == m_window.windowHandle();
}

void InputPause::watchExposure()
{
    // Qt has set the new state by the time the event is sent. Each return
    // to the screen (after a minimize, an unmap) starts the moment again.
    const bool exposed = m_window.windowHandle()->isExposed();
    if (exposed && !m_exposed) {
        m_shown.start();
        m_pressed.clear();
        m_modifiersPressed = {};
    }
    m_exposed = exposed;
}

bool InputPause::keyPasses(const QKeyEvent& key)
{
    if (holding()) {
        return false;
    }
    if (key.type() == QEvent::KeyRelease || key.isAutoRepeat()) {
        return m_pressed.contains(keyId(key));
    }
    // A fresh press. Its modifiers must have been pressed here too.
    const Qt::KeyboardModifiers held
        = key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if ((held & ~(m_modifiersPressed | modifierOf(key.key()))) != Qt::NoModifier) {
        return false;
    }
    m_pressed.insert(keyId(key));
    m_modifiersPressed |= modifierOf(key.key());
    return true;
}

bool InputPause::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Expose:
        if (watched == m_window.windowHandle()) {
            watchExposure();
        }
        break;
    case QEvent::WindowDeactivate:
        // Keys pressed while another window had the keyboard were not seen.
        if (watched == &m_window) {
            m_pressed.clear();
            m_modifiersPressed = {};
        }
        break;
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (inWindow(watched) && !keyPasses(*static_cast<QKeyEvent*>(event))) {
            // Accepted: an overriding focus widget keeps the key from the
            // shortcuts, and the press that follows is held off here too.
            event->accept();
            return true;
        }
        break;
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        if (holding() && inWindow(watched)) {
            event->accept();
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
