#include "ModalRun.h"

#include <QDialog>
#include <QEventLoop>
#include <QPointer>

int runModal(QDialog& dialog, QWidget* blocked)
{
    QPointer<QWidget> guard(blocked);
    if (guard) {
        guard->setEnabled(false);
    }
    QEventLoop loop;
    QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    dialog.setWindowModality(Qt::NonModal);
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    loop.exec(QEventLoop::DialogExec);
    if (guard) {
        guard->setEnabled(true);
    }
    return dialog.result();
}
