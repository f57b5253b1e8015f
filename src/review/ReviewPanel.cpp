#include "ReviewPanel.h"

#include "alerting/ScanTimer.h"
#include "reminders/Clock.h"
#include "reminders/DataFolder.h"
#include "reminders/MomentText.h"
#include "reminders/ReminderFile.h"
#include "review/ReviewList.h"
#include "ui/InputBlock.h"
#include "ui/MessageBox.h"
#include "ui_frmtarvelo.h"

#include <QAccessible>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {
ReminderFile reminderFile()
{
    return ReminderFile(DataFolder::reminderFile());
}
} // namespace

ReviewPanel::ReviewPanel(Ui::frmtarvelo& ui, QWidget& window, ScanTimer& timer)
    : QObject(&window)
    , m_ui(ui)
    , m_window(window)
    , m_timer(timer)
{
    QListWidget* list = m_ui.lstlembr;
    // The order shown is the one Ordena_Lista leaves: no re-sorting behind it.
    list->setSortingEnabled(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    // Each column as wide as the box, one item per row.
    list->setUniformItemSizes(true);
    list->setGridSize(QSize(list->width() - 2 * list->frameWidth(), list->fontMetrics().height() + 2));

    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
    connect(list, &QListWidget::itemSelectionChanged, this, &ReviewPanel::lstlembr_Click);
    connect(list, &QListWidget::itemClicked, this, &ReviewPanel::lstlembr_Click);
    connect(m_ui.cmdmanalt, &QPushButton::clicked, this, &ReviewPanel::cmdmanalt_Click);
    connect(m_ui.cmdmanexc, &QPushButton::clicked, this, &ReviewPanel::cmdmanexc_Click);
}

bool ReviewPanel::eventFilter(QObject* watched, QEvent* event)
{
    QListWidget* list = m_ui.lstlembr;
    if (watched == list && event->type() == QEvent::KeyPress) {
        // With nothing selected, the first arrow key selects the first item,
        // not the one after the row Qt makes current on focus.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Down || key == Qt::Key_Up) && list->count() > 0 && !selectedItem()) {
            list->setCurrentRow(0);
            // Row 0 was current already, so Qt tells a screen reader of the
            // selection only: say which item the arrow reached.
            QAccessibleEvent focused(list, QAccessible::Focus);
            focused.setChild(0);
            QAccessible::updateAccessibility(&focused);
            return true;
        }
    }
    if (watched == list->viewport()
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
        // Once chosen, a reminder stays selected until another is chosen:
        // neither a click beside the items nor Ctrl+click takes it away.
        auto* mouse = static_cast<QMouseEvent*>(event);
        QListWidgetItem* item = list->itemAt(mouse->position().toPoint());
        if (!item) {
            return true;
        }
        if (mouse->modifiers() & Qt::ControlModifier) {
            list->setCurrentItem(item);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

QStringList ReviewPanel::items() const
{
    QStringList texts;
    texts.reserve(m_ui.lstlembr->count());
    for (int i = 0; i < m_ui.lstlembr->count(); ++i) {
        texts << m_ui.lstlembr->item(i)->text();
    }
    return texts;
}

void ReviewPanel::setItems(const QStringList& texts)
{
    QListWidget* list = m_ui.lstlembr;
    const QSignalBlocker quiet(list);
    list->clear();
    list->addItems(texts);
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem* item = list->item(i);
        item->setData(Qt::AccessibleDescriptionRole, m_descriptions.value(item->text()));
    }
    list->setCurrentRow(-1);
    list->clearSelection();
}

QListWidgetItem* ReviewPanel::selectedItem() const
{
    const QList<QListWidgetItem*> selected = m_ui.lstlembr->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void ReviewPanel::clearFields()
{
    m_ui.txtmandia->clear();
    m_ui.txtmanhora->clear();
    m_ui.txtmanobs->clear();
}

void ReviewPanel::refuse(const QString& message)
{
    MessageBox::critical(&m_window, message);
}

void ReviewPanel::open()
{
    m_timer.switchOff();
    clearFields();
    // A missing file is an empty list. One that cannot be read gives an
    // empty list too, but says why: the reminders are still in it.
    const LoadResult loaded = reminderFile().CarregaLembretes();
    m_descriptions.clear();
    for (const Lembrete& entry : loaded.entries) {
        const QString item = ReviewList::itemText(entry);
        if (!m_descriptions.contains(item)) { // the first line of a moment is the one shown
            m_descriptions.insert(item, entry.descricao);
        }
    }
    setItems(loaded.loaded() ? ReviewList::loadItems(loaded.entries) : QStringList());
    m_ui.lstlembr->setFocus(); // ready for the arrow keys
    m_timer.switchOn(); // before the message, so reminders ring while it shows
    if (loaded.status == LoadResult::Status::Failed) {
        refuse(loaded.error);
    }
}

void ReviewPanel::Ordena_Lista()
{
    showSorted(items());
}

void ReviewPanel::showSorted(QStringList texts)
{
    ReviewList::sortItems(texts);
    setItems(texts);
}

void ReviewPanel::lstlembr_Click()
{
    const QListWidgetItem* item = selectedItem();
    if (!item) {
        return;
    }
    const QString text = item->text();
    const QDate date = MomentText::readDate(ReviewList::itemDate(text));
    const QTime time = MomentText::readTime(ReviewList::itemTime(text));
    if (!date.isValid() || !time.isValid()) {
        return;
    }
    const LoadResult loaded = reminderFile().CarregaLembretes();
    for (const Lembrete& entry : loaded.entries) {
        if (MomentText::readDate(entry.data) == date && MomentText::readTime(entry.hora) == time) {
            m_ui.txtmandia->setText(entry.data);
            m_ui.txtmanhora->setText(entry.hora);
            m_ui.txtmanobs->setText(entry.descricao);
            return;
        }
    }
    // No line has it any more: the fields keep what they held.
}

void ReviewPanel::cmdmanalt_Click()
{
    const QListWidgetItem* item = selectedItem();
    if (!item) {
        refuse(QStringLiteral("Por Favor, Selecione uma data!"));
        return;
    }
    const QString data = m_ui.txtmandia->text();
    const QString hora = m_ui.txtmanhora->text();
    m_checks.Verifica_data2(data, hora);
    if (!m_checks.DataValida) {
        refuse(QStringLiteral("Data no formato inválido! (dd/mm/aaaa)"));
        return;
    }
    if (hora.size() > 5 || !m_checks.HoraValida) {
        refuse(QStringLiteral("Hora no formato inválido. (hh:mm)"));
        return;
    }
    const QDate date = MomentText::readDate(data);
    const QTime time = MomentText::readTime(hora);
    const QDateTime now = Clock::now();
    if (date < now.date()) {
        refuse(QStringLiteral("Você está tentando alterar para uma data já vencida."));
        return;
    }
    if (date == now.date()
        && MomentText::timeTextWithSeconds(now.time()) > MomentText::timeTextWithSeconds(time)) {
        refuse(QStringLiteral("Você está tentando alterar para uma hora já vencida."));
        return;
    }
    const QString oldItem = item->text();
    const QString moment = data + QLatin1Char(' ') + hora;
    const ReminderFile file = reminderFile();
    // The reminder's own moment never counts as taken.
    if (MomentText::readMoment(moment) != ReviewList::itemValue(oldItem) && !file.HorarioLivre(moment)) {
        refuse(QStringLiteral("Já existe mensagem cadastrada para esta data e hora!"));
        InputBlock::giveFocus(m_ui.txtmandia);
        return;
    }

    // The old line leaves and the new one is added in one replacement of the
    // file, with the scan kept away from it meanwhile.
    m_timer.switchOff();
    const bool existed = QFileInfo::exists(file.path());
    const Outcome stored = file.substitui(ReviewList::itemDate(oldItem), ReviewList::itemTime(oldItem),
                                          {data, hora, m_ui.txtmanobs->text()});
    m_timer.switchOn();
    if (!stored) {
        refuse(stored.message());
        return;
    }
    QStringList texts = items();
    // With no file there was no old line to remove, and its item stays.
    if (existed) {
        texts.removeAt(m_ui.lstlembr->row(item));
    }
    const QString newItem = ReviewList::itemText({data, hora, QString()});
    texts.insert(ReviewList::textPosition(texts, newItem), newItem);
    m_descriptions.insert(newItem, m_ui.txtmanobs->text());
    showSorted(texts);
    clearFields();
    m_ui.lstlembr->setFocus();
}

void ReviewPanel::cmdmanexc_Click()
{
    const QListWidgetItem* asked = selectedItem();
    if (!asked) {
        refuse(QStringLiteral("Por Favor, Selecione uma data!"));
        return;
    }
    const QString text = asked->text();
    if (!MessageBox::question(&m_window, QStringLiteral("Exclusão"),
                              QStringLiteral("Confirma Exclusão do Lembrete?"))) {
        InputBlock::giveFocus(m_ui.cmdmancan);
        return;
    }
    // The question waits in its own event loop, where the list may have been
    // reloaded: act only on a selection that is still the one asked about.
    const QListWidgetItem* item = selectedItem();
    if (!item || item->text() != text) {
        return;
    }
    const ReminderFile file = reminderFile();
    const bool existed = QFileInfo::exists(file.path());
    const Outcome removed = file.apaga(ReviewList::itemDate(text), ReviewList::itemTime(text));
    if (!removed) {
        // The line is still in the file, so its item stays too.
        refuse(removed.message());
        return;
    }
    // With no file there was nothing to delete, and the item stays.
    if (existed) {
        QStringList texts = items();
        texts.removeAt(m_ui.lstlembr->row(item));
        showSorted(texts);
    }
    clearFields();
    m_ui.lstlembr->setFocus();
}
