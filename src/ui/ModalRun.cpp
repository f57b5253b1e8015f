#include "ModalRun.h"

#include "ui/InputBlock.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

namespace {
// A window kept above all others (an alert) has the first claim on the
// keyboard; the dialog has it otherwise.
QWidget* onTopOr(QWidget* dialog)
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != dialog && window->isVisible() && (window->windowFlags() & Qt::WindowStaysOnTopHint)) {
            return window;
        }
    }
    return dialog;
}

// Brings the dialog forward whenever the blocked window becomes the active one.
class KeepAbove : public QObject
{
public:
    explicit KeepAbove(QDialog& dialog)
        : m_dialog(&dialog)
    { }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::WindowActivate) {
            // After the window manager has done with the click that raised it.
            QTimer::singleShot(0, m_dialog, [dialog = m_dialog] {
                if (dialog && dialog->isVisible()) {
                    dialog->raise();
                    onTopOr(dialog)->activateWindow();
                }
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<QDialog> m_dialog;
};
} // namespace

int runModal(QDialog& dialog, QWidget* blocked)
{
    QPointer<QWidget> guard(blocked);
    KeepAbove keepAbove(dialog);
    if (guard) {
        InputBlock::block(guard);
        guard->window()->installEventFilter(&keepAbove);
    }
    QEventLoop loop;
    QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    dialog.setWindowModality(Qt::NonModal);
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    loop.exec(QEventLoop::DialogExec);
    if (guard) {
        guard->window()->removeEventFilter(&keepAbove);
        InputBlock::unblock(guard);
    }
    return dialog.result();
}
