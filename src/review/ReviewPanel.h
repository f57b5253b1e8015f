#pragma once

#include "entry/DateChecks.h"

#include <QHash>
#include <QObject>

class QListWidgetItem;
class QWidget;
class ScanTimer;

namespace Ui {
class frmtarvelo;
}

// "Rever Lembretes": every stored reminder by date and time, with the texts
// of the selected one to alter or delete. It drives the widgets of the frame
// frarev on the main window.
class ReviewPanel : public QObject
{
    Q_OBJECT

public:
    ReviewPanel(Ui::frmtarvelo& ui, QWidget& window, ScanTimer& timer);

    // The tray menu's "&Rever Lembretes": the list built afresh from the
    // file, nothing selected, the detail fields empty.
    void open();

    // Puts the list in date-and-time order.
    void Ordena_Lista();

    void lstlembr_Click(); // fills the detail fields
    void cmdmanalt_Click(); // "&Alterar"
    void cmdmanexc_Click(); // "&Excluir"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListWidgetItem* selectedItem() const;
    QStringList items() const;
    void setItems(const QStringList& items);
    void showSorted(QStringList texts); // Ordena_Lista on a list about to be shown
    void clearFields();
    void refuse(const QString& message);

    Ui::frmtarvelo& m_ui;
    QWidget& m_window;
    ScanTimer& m_timer;
    DateChecks m_checks;
    // Each item's description, by its text: a screen reader reads it with
    // the item, through every rebuild of the list from item texts.
    QHash<QString, QString> m_descriptions;
};
