#pragma once

#include "alerting/DueRule.h"
#include "alerting/ScanTimer.h"
#include "reminders/ReminderFile.h"

#include <QDate>
#include <QObject>
#include <QPointer>
#include <QString>

class AlarmSound;
class AlertWindow;
class QDateTime;
class QTimer;
class ScanHost;

// The due-reminder scan. At each tick of Timer1 it refreshes the main
// window's clock, reads the whole reminder file afresh and opens the alert
// for the first due reminder in file order. Timer1 stays off while the alert
// is open, so the file is never read while the alert rewrites it.
class DueScan : public QObject, public ScanTimer
{
    Q_OBJECT

public:
    DueScan(QTimer& timer1, ScanHost& host, AlarmSound& sound, QObject* parent = nullptr);
    ~DueScan() override;

    void switchOn() override;
    void switchOff() override;
    bool isOn() const override;

    // Timer1's tick.
    void tick();

    // The alert now open, or null.
    AlertWindow* alert() const;

private:
    void showClock(const QDateTime& now);

    QTimer& m_timer;
    ScanHost& m_host;
    AlarmSound& m_sound;
    const ReminderFile m_file; // read at every tick: its path is made once
    QPointer<AlertWindow> m_alert;
    DueRule::Scanner m_scanner;
    QString m_timeFormat;
    QDate m_clockDay;
    QString m_dayText;
    int m_clockSecond = -1; // of the day
};
