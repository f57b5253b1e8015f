#include "IncludePanel.h"

#include "alerting/ScanTimer.h"
#include "reminders/Clock.h"
#include "reminders/DataFolder.h"
#include "reminders/MomentText.h"
#include "reminders/ReminderFile.h"
#include "ui/InputBlock.h"
#include "ui/MessageBox.h"
#include "ui_frmtarvelo.h"

#include <QKeyEvent>

namespace {
const QString BadDate = QStringLiteral("Data no formato inválido! (dd/mm/aaaa)");

// Empty once the spaces around it are gone. Line breaks count as nothing
// too: they never reach the file.
bool blank(const QString& text)
{
    for (QChar c : text) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('\r') && c != QLatin1Char('\n')) {
            return false;
        }
    }
    return true;
}

QDate today()
{
    return Clock::now().date();
}

bool modifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
        return true;
    default:
        return false;
    }
}

// Keys that move through a list or open it, rather than type into it.
bool listKey(int key)
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_F4:
        return true;
    default:
        return false;
    }
}

// Typing is a key alone or with Shift; with Ctrl, Alt or Meta it is a
// command (a copy, a menu's letter) that types nothing.
bool typing(const QKeyEvent& event)
{
    return !(event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        && !listKey(event.key());
}

// The physical key: Shift let go between press and release changes the key
// code ("%" pressed, "5" released; Backtab and Tab), not the key. Synthetic
// events have no scan code.
quint32 keyOf(const QKeyEvent& event)
{
    return event.nativeScanCode() != 0 ? event.nativeScanCode() : quint32(event.key());
}

// A combo box that only ever holds one of its list items, or nothing: its
// edit field shows the choice but takes no typing, pasting or dropping.
void listOnly(QComboBox* box)
{
    box->lineEdit()->setReadOnly(true);
    box->setCurrentIndex(-1);
    box->clearEditText();
}
} // namespace

IncludePanel::IncludePanel(Ui::frmtarvelo& ui, QWidget& window, ScanTimer& timer)
    : QObject(&window)
    , m_ui(ui)
    , m_window(window)
    , m_timer(timer)
{
    listOnly(m_ui.cboHora);
    listOnly(m_ui.cboMinuto);
    m_ui.cboHora->installEventFilter(this);
    m_ui.cboMinuto->installEventFilter(this);

    // Choosing an item moves on to the next field.
    connect(m_ui.cboHora, &QComboBox::activated, this, [this] { m_ui.cboMinuto->setFocus(); });
    connect(m_ui.cboMinuto, &QComboBox::activated, this, [this] { m_ui.txtincdesc->setFocus(); });
    connect(m_ui.cmdinc, &QPushButton::clicked, this, &IncludePanel::cmdinc_Click);
    const std::pair<QPushButton*, int> steps[] = {
        {m_ui.cmdme30, -30}, {m_ui.cmdme10, -10}, {m_ui.cmdme7, -7},  {m_ui.cmdme1, -1},
        {m_ui.cmdma1, 1},    {m_ui.cmdma7, 7},    {m_ui.cmdma10, 10}, {m_ui.cmdma30, 30},
    };
    for (const auto& [button, days] : steps) {
        connect(button, &QPushButton::clicked, this, [this, days = days] { moveDate(days); });
    }
}

bool IncludePanel::eventFilter(QObject* watched, QEvent* event)
{
    // A key typed in the hour or minute box empties it when released: they
    // take their values from their lists only. A release is typing only when
    // the box had the key's typing press too, and still has the focus; a
    // shortcut's key, the Return that chose from the other box's list or the
    // Tab that came in were pressed elsewhere, and a modifier alone, a chord
    // or a key that moves through the list types nothing.
    const QEvent::Type type = event->type();
    if (type == QEvent::FocusOut && watched == m_pressedIn) {
        m_pressedIn = nullptr;
        return false;
    }
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->isAutoRepeat() || modifierKey(key->key())) {
        return false;
    }
    if (type == QEvent::KeyPress) {
        m_pressedIn = typing(*key) ? watched : nullptr;
        m_pressed = keyOf(*key);
        return false;
    }
    if (watched != m_pressedIn || keyOf(*key) != m_pressed) {
        return false;
    }
    m_pressedIn = nullptr;
    auto* box = qobject_cast<QComboBox*>(watched);
    box->setCurrentIndex(-1);
    box->clearEditText();
    return false;
}

void IncludePanel::open()
{
    m_ui.txtdata->setText(MomentText::dateText(today()));
    m_ui.cboHora->setCurrentIndex(-1);
    m_ui.cboHora->clearEditText();
    m_ui.cboMinuto->setCurrentIndex(-1);
    m_ui.cboMinuto->clearEditText();
}

void IncludePanel::moveDate(int days)
{
    m_checks.Verifica_Data(m_ui.txtdata->text());
    if (!m_checks.DataValida) {
        MessageBox::critical(&m_window, BadDate);
        return;
    }
    QDate moved = MomentText::readDate(m_ui.txtdata->text()).addDays(days);
    if (days < 0 && moved <= today()) {
        moved = today();
    }
    // A date has a four-digit year: forward, the last day it can write is
    // as far as a step goes, as today is going back.
    const QDate lastDay(9999, 12, 31);
    if (moved > lastDay) {
        moved = lastDay;
    }
    m_ui.txtdata->setText(MomentText::dateText(moved));
}

void IncludePanel::refuse(const QString& message, QWidget* focus)
{
    MessageBox::critical(&m_window, message);
    if (focus) {
        InputBlock::giveFocus(focus);
    }
}

void IncludePanel::cmdinc_Click()
{
    const QString data = m_ui.txtdata->text();
    const QString hora = m_ui.cboHora->currentText();
    const QString minuto = m_ui.cboMinuto->currentText();
    const QString descricao = m_ui.txtincdesc->text();

    m_checks.Verifica_Data(data);
    if (!m_checks.DataValida) {
        refuse(BadDate, nullptr);
        return;
    }
    const QDate date = MomentText::readDate(data);
    const QDateTime now = Clock::now();
    if (date < now.date()) {
        refuse(QStringLiteral("Você está tentando incluir uma data já vencida!"), m_ui.txtdata);
        return;
    }
    if (blank(hora)) {
        refuse(QStringLiteral("Por favor, Informar a Hora!"), m_ui.cboHora);
        return;
    }
    if (blank(minuto)) {
        refuse(QStringLiteral("Por favor, Informar o Minuto!"), m_ui.cboMinuto);
        return;
    }
    const QTime time = MomentText::readTime(QString(hora + QLatin1Char(':') + minuto));
    // Compared as "hh:mm:ss" texts: the chosen minute passes only during its
    // second 00.
    if (date == now.date()
        && MomentText::timeTextWithSeconds(now.time()) > MomentText::timeTextWithSeconds(time)) {
        refuse(QStringLiteral("Você está tentando incluir uma hora já vencida!"), m_ui.cboHora);
        return;
    }
    if (blank(descricao)) {
        refuse(QStringLiteral("Por favor, Informar a Descrição!"), m_ui.txtincdesc);
        return;
    }
    const ReminderFile file(DataFolder::reminderFile());
    const QString hhmm = hora + QLatin1Char(':') + minuto;
    if (file.ArquivoExiste() && !file.HorarioLivre(data + QLatin1Char(' ') + hhmm)) {
        refuse(QStringLiteral("Já existe mensagem cadastrada para esta data e hora!"), m_ui.txtdata);
        return;
    }
    const Outcome written = file.GravaLembrete({data, hhmm, descricao});
    if (!written) {
        // Nothing was written: every field keeps what the user typed.
        refuse(written.message(), nullptr);
        return;
    }
    resetFields();
    m_timer.switchOn();
    m_ui.txtdata->setFocus();
}

void IncludePanel::resetFields()
{
    open();
    m_ui.txtincdesc->clear();
}
