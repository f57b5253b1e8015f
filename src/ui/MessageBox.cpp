#include "MessageBox.h"

#include "ui/ModalRun.h"

#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>

namespace {
struct Script
{
    bool on = false;
    QList<QMessageBox::StandardButton> answers;
    QStringList shown;
    QList<QPointer<QMessageBox>> open;
};

Script& script()
{
    static Script instance;
    return instance;
}
} // namespace

void MessageBox::critical(QWidget* parent, const QString& text)
{
    show(parent, QMessageBox::Critical, QStringLiteral("Quedrino"), text, QMessageBox::Ok, QMessageBox::Ok);
}

bool MessageBox::question(QWidget* parent, const QString& title, const QString& text)
{
    return show(parent, QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                QMessageBox::Yes)
        == QMessageBox::Yes;
}

void MessageBox::answerOpenSafely()
{
    // The newest first: each waits in an event loop inside the one before.
    const QList<QPointer<QMessageBox>> open = script().open;
    for (auto box = open.crbegin(); box != open.crend(); ++box) {
        // One already answered waits only for an inner event loop to end.
        if (!*box || !(*box)->isVisible()) {
            continue;
        }
        QAbstractButton* safe = (*box)->button(QMessageBox::No);
        if (!safe) {
            safe = (*box)->button(QMessageBox::Ok);
        }
        if (safe) {
            safe->click();
        }
    }
}

void MessageBox::setScripted(bool scripted)
{
    script().on = scripted;
    script().answers.clear();
}

void MessageBox::setNextAnswer(QMessageBox::StandardButton answer)
{
    script().answers << answer;
}

QStringList MessageBox::takeShown()
{
    return std::exchange(script().shown, {});
}

QMessageBox::StandardButton MessageBox::show(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                             const QString& text, QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton)
{
    script().shown << text;
    if (script().on) {
        if (buttons == QMessageBox::Ok) {
            return QMessageBox::Ok;
        }
        return script().answers.isEmpty() ? QMessageBox::No : script().answers.takeFirst();
    }
    QMessageBox box(icon, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    // The program speaks Portuguese whatever the system's language.
    if (auto* ok = box.button(QMessageBox::Ok)) {
        ok->setText(QStringLiteral("OK"));
    }
    if (auto* yes = box.button(QMessageBox::Yes)) {
        yes->setText(QStringLiteral("&Sim"));
    }
    if (auto* no = box.button(QMessageBox::No)) {
        no->setText(QStringLiteral("&Não"));
    }
    script().open << &box;
    const auto forget = qScopeGuard([&box] { script().open.removeAll(&box); });
    if (auto* window = qobject_cast<QMainWindow*>(parent)) {
        // Not the whole window: the tray menu is its child.
        return static_cast<QMessageBox::StandardButton>(runModal(box, window->centralWidget()));
    }
    box.setWindowModality(Qt::WindowModal);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
