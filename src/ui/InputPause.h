#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QSet>

#include <chrono>

class QKeyEvent;
class QWidget;

// Holds the keyboard and the mouse off a window for a moment each time it
// comes on screen, so that keys and clicks meant for the window that was in
// front (a hand still typing, a shortcut already on its way) cannot act on
// it unseen. After the moment a key acts only if the window saw it pressed:
// the release or auto-repeat of a key held from before, or a chord with a
// modifier held from before, is ignored. Programmatic clicks are untouched.
class InputPause : public QObject
{
public:
    // Long enough for keys already in flight and a typing hand to stop (a
    // fast typist's keys are 100-150 ms apart, a reaction to something new
    // on screen takes 200-300 ms); short enough that someone reading the
    // window has not yet reached for a key.
    static constexpr std::chrono::milliseconds Moment{500};

    explicit InputPause(QWidget& window);
    ~InputPause() override;

    bool holding() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool inWindow(QObject* object) const;
    void watchExposure();
    // Whether a key event may reach the window; notes the presses it sees.
    bool keyPasses(const QKeyEvent& key);

    QWidget& m_window;
    bool m_exposed = false;
    QElapsedTimer m_shown;
    QSet<quint32> m_pressed;
    Qt::KeyboardModifiers m_modifiersPressed;
};
