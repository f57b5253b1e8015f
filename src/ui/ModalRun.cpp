#include "ModalRun.h"

#include "ui/InputBlock.h"

#include <QDialog>
#include <QEventLoop>
#include <QPointer>

int runModal(QDialog& dialog, QWidget* blocked)
{
    QPointer<QWidget> guard(blocked);
    if (guard) {
        InputBlock::block(guard);
    }
    QEventLoop loop;
    QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    dialog.setWindowModality(Qt::NonModal);
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    loop.exec(QEventLoop::DialogExec);
    if (guard) {
        InputBlock::unblock(guard);
    }
    return dialog.result();
}
