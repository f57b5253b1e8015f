#pragma once

#include "reminders/Lembrete.h"

#include <QDialog>

#include <memory>

class AlarmSound;
class InputPause;
class NativeWindowWatch;
class ReminderFile;
class ScanHost;
class ScanTimer;

namespace Ui {
class frmAviso;
}

// "Aviso do Quedrino": the window a due reminder opens, above all others,
// with a sound. It deletes the reminder or puts it off; closed any other way
// it leaves the reminder due, so the next tick opens it again. One is made
// for each alert and deletes itself when the alert ends. It cannot stay
// minimized or unmapped, and a window destroyed under it ends it like a
// close. It takes the keyboard as it opens, but no key or click for a moment
// after each time it comes on screen: those were meant for another window.
class AlertWindow : public QDialog
{
    Q_OBJECT

public:
    // The load step: the main window's menus off, on top, the sound started.
    AlertWindow(ScanHost& host, ScanTimer& timer, AlarmSound& sound, QWidget* parent = nullptr);
    ~AlertWindow() override;

    // The reminder's texts exactly as stored.
    void fill(const Lembrete& lembrete);
    // Shows the window; the main window takes no input until it ends.
    void present();

    void Stayontop();

    // False for a moment after the window comes on screen: keys and clicks
    // are held off until then.
    bool takesInput() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void cmdApagar_Click();
    void cdmAdiar_Click();
    void unloadStep();
    void restoreIfUnmapped();
    // A message over the alert; the alert is not deleted while it waits.
    void refuse(const QString& message);
    ReminderFile reminderFile() const;

    std::unique_ptr<Ui::frmAviso> m_ui;
    ScanHost& m_host;
    ScanTimer& m_timer;
    AlarmSound& m_sound;
    std::unique_ptr<NativeWindowWatch> m_nativeWatch;
    InputPause* m_pause;
    bool m_blocking = false;
    int m_messagesOpen = 0;
    bool m_deleteWhenAnswered = false;
};
