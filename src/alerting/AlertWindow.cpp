#include "AlertWindow.h"

#include "alerting/AlarmSound.h"
#include "alerting/Postpone.h"
#include "alerting/ScanHost.h"
#include "alerting/ScanTimer.h"
#include "reminders/Clock.h"
#include "reminders/DataFolder.h"
#include "reminders/ReminderFile.h"
#include "review/EnterKeyFilter.h"
#include "ui/Accessibility.h"
#include "ui/ComboBoxes.h"
#include "ui/Icons.h"
#include "ui/InputPause.h"
#include "ui/MessageBox.h"
#include "ui/NativeWindowWatch.h"
#include "ui/ShortcutClicks.h"
#include "ui/WindowStyle.h"
#include "ui_frmAviso.h"

#include <QKeyEvent>
#include <QTimer>
#include <QWindow>

AlertWindow::AlertWindow(ScanHost& host, ScanTimer& timer, AlarmSound& sound, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::frmAviso>())
    , m_host(host)
    , m_timer(timer)
    , m_sound(sound)
    , m_pause(new InputPause(*this))
{
    m_ui->setupUi(this);
    setWindowIcon(Icons::bell());
    m_ui->cboadia->setCurrentIndex(-1);
    ComboBoxes::keepTypedText(m_ui->cboadia);
    EnterKeyFilter::install(m_ui->txtmsg);
    WindowStyle::applyFonts(this);
    WindowStyle::makeFixed(this);
    WindowStyle::centre(this);
    ShortcutClicks::install(this);
    Accessibility::nameFields(this);
    m_ui->txtmsg->setFocus();

    connect(m_ui->cmdApagar, &QPushButton::clicked, this, &AlertWindow::cmdApagar_Click);
    connect(m_ui->cdmAdiar, &QPushButton::clicked, this, &AlertWindow::cdmAdiar_Click);
    // However the window ends: a button, its close box, the window manager.
    connect(this, &QDialog::finished, this, &AlertWindow::unloadStep);
    m_nativeWatch = std::make_unique<NativeWindowWatch>(
        *this,
        [this] {
            // Its own message, if one is up, goes with it.
            MessageBox::answerOpenSafely();
            reject();
        },
        [this] { QTimer::singleShot(200, this, &AlertWindow::restoreIfUnmapped); });

    // A message box left open under the alert would take the keys meant for
    // it; it closes with its safe answer, so nothing unseen is confirmed.
    MessageBox::answerOpenSafely();
    m_host.setMenusEnabled(false);
    Stayontop();
    m_sound.play(DataFolder::alarmSound());
}

AlertWindow::~AlertWindow()
{
    if (m_blocking) {
        m_host.blockInput(false);
    }
}

void AlertWindow::Stayontop()
{
    setWindowFlag(Qt::WindowStaysOnTopHint);
}

bool AlertWindow::takesInput() const
{
    return !m_pause->holding();
}

void AlertWindow::fill(const Lembrete& lembrete)
{
    m_ui->lbldata->setText(lembrete.data);
    m_ui->lblhora->setText(lembrete.hora);
    m_ui->txtmsg->setText(lembrete.descricao);
}

void AlertWindow::present()
{
    if (!m_blocking) {
        m_blocking = true;
        m_host.blockInput(true);
    }
    show();
    raise();
    activateWindow();
    Accessibility::announce(
        this,
        QStringLiteral("%1 %2: %3").arg(m_ui->lbldata->text(), m_ui->lblhora->text(), m_ui->txtmsg->text()));
}

void AlertWindow::keyPressEvent(QKeyEvent* event)
{
    // The window has no cancel button, so Esc does nothing; and no default
    // button, so Enter reaching the window (from the interval box) presses
    // none. A focused button still takes Enter itself.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void AlertWindow::changeEvent(QEvent* event)
{
    // Window managers offer to minimize it all the same; a minimized alert
    // would ring unseen and keep the menus off. It comes straight back.
    if (event->type() == QEvent::WindowStateChange && isMinimized()) {
        QTimer::singleShot(0, this, [this] {
            setWindowState(windowState() & ~Qt::WindowMinimized);
            show();
            raise();
            activateWindow();
        });
    }
    QDialog::changeEvent(event);
}

ReminderFile AlertWindow::reminderFile() const
{
    return ReminderFile(DataFolder::reminderFile());
}

void AlertWindow::cmdApagar_Click()
{
    m_sound.stop();
    m_timer.switchOff();
    const Outcome removed = reminderFile().apaga(m_ui->lbldata->text(), m_ui->lblhora->text());
    if (!removed) {
        // The reminder is still in the file: the alert stays, with its text.
        refuse(removed.message());
        return;
    }
    accept();
    m_timer.switchOn();
}

void AlertWindow::cdmAdiar_Click()
{
    m_sound.stop();
    m_timer.switchOff();
    const QString choice = m_ui->cboadia->currentText();
    if (choice.isEmpty()) {
        refuse(QStringLiteral("Por favor, Informar o tempo para Adiar!"));
        return;
    }
    const QString moment = Postpone::newMoment(choice, Clock::now());
    const ReminderFile file = reminderFile();
    // Asked before the reminder leaves the file, so its own minute counts as
    // taken too.
    if (!file.HorarioLivre(moment)) {
        refuse(QStringLiteral("Já existe mensagem cadastrada para esta data e hora!"));
        m_ui->cboadia->setFocus();
        return;
    }
    // Removed and added again in one replacement of the file, so a failure
    // between the two cannot lose the reminder.
    const Lembrete postponed{moment.left(10), moment.mid(11, 5), m_ui->txtmsg->text()};
    const Outcome moved = file.substitui(m_ui->lbldata->text(), m_ui->lblhora->text(), postponed);
    if (!moved) {
        refuse(moved.message());
        return;
    }
    accept();
    m_timer.switchOn();
}

void AlertWindow::refuse(const QString& message)
{
    ++m_messagesOpen;
    MessageBox::critical(this, message);
    if (--m_messagesOpen == 0 && m_deleteWhenAnswered) {
        deleteLater();
    }
}

void AlertWindow::restoreIfUnmapped()
{
    // Minimizing is changeEvent's; Qt's own hiding leaves it not visible.
    if (isVisible() && !isMinimized() && windowHandle() && !windowHandle()->isExposed()) {
        hide();
        show();
        raise();
        activateWindow();
    }
}

void AlertWindow::unloadStep()
{
    m_timer.switchOn();
    m_host.setMenusEnabled(true);
    if (m_blocking) {
        m_blocking = false;
        m_host.blockInput(false);
    }
    // Not under a message of its own that still waits in its event loop:
    // the message is the alert's child.
    if (m_messagesOpen > 0) {
        m_deleteWhenAnswered = true;
    } else {
        deleteLater();
    }
}
