#pragma once

#include "entry/DateChecks.h"

#include <QObject>

class QComboBox;
class QWidget;
class ScanTimer;

namespace Ui {
class frmtarvelo;
}

// "Incluir Lembrete": the panel where a new reminder is scheduled. It drives
// the widgets of the frame fraInc on the main window.
class IncludePanel : public QObject
{
    Q_OBJECT

public:
    IncludePanel(Ui::frmtarvelo& ui, QWidget& window, ScanTimer& timer);

    // The tray menu's "&Incluir Lembrete": today's date, no hour or minute;
    // the description stays as it was.
    void open();

    // Every day button steps here: forward by whole days, or back without
    // going past today.
    void moveDate(int days);

    void cmdinc_Click(); // "&Agendar Lembrete"

    const DateChecks& checks() const { return m_checks; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refuse(const QString& message, QWidget* focus);
    void resetFields();

    Ui::frmtarvelo& m_ui;
    QWidget& m_window;
    ScanTimer& m_timer;
    DateChecks m_checks;
    // The last key pressed in the hour or minute box, and which box had it.
    QObject* m_pressedIn = nullptr;
    quint32 m_pressed = 0;
};
