#include "DueScan.h"

#include "alerting/AlertWindow.h"
#include "alerting/DueRule.h"
#include "alerting/ScanHost.h"
#include "reminders/Clock.h"
#include "reminders/DataFolder.h"
#include "reminders/ReminderFile.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTimer>

namespace {
// The locale's long time format (with seconds) without its time zone, which
// is slow to look up and says nothing the user needs every second.
QString longTimeWithoutZone()
{
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b\\s*")));
    return format.trimmed().isEmpty() ? QStringLiteral("HH:mm:ss") : format.trimmed();
}
} // namespace

DueScan::DueScan(QTimer& timer1, ScanHost& host, AlarmSound& sound, QObject* parent)
    : QObject(parent)
    , m_timer(timer1)
    , m_host(host)
    , m_sound(sound)
    , m_file(DataFolder::reminderFile())
    , m_timeFormat(longTimeWithoutZone())
{
    connect(&m_timer, &QTimer::timeout, this, &DueScan::tick);
}

DueScan::~DueScan()
{
    // Ending the program with an alert open closes it without its unload
    // step: nothing is written.
    delete m_alert.data();
}

void DueScan::switchOn()
{
    m_timer.start();
}

void DueScan::switchOff()
{
    m_timer.stop();
}

bool DueScan::isOn() const
{
    return m_timer.isActive();
}

void DueScan::showClock(const QDateTime& now)
{
    // The labels change once a second, so the texts are made once a second.
    // The second is told from the local date and time themselves: turning
    // them back into a count since the epoch would look up the time zone.
    const QDate day = now.date();
    const int second = now.time().msecsSinceStartOfDay() / 1000;
    if (day == m_clockDay && second == m_clockSecond) {
        return;
    }
    m_clockSecond = second;
    const QLocale locale = QLocale::system();
    if (day != m_clockDay) {
        m_clockDay = day;
        m_dayText = locale.toString(m_clockDay, QLocale::LongFormat);
    }
    m_host.showClock(m_dayText, locale.toString(now.time(), m_timeFormat));
}

void DueScan::tick()
{
    switchOff();
    const QDateTime now = Clock::now();
    showClock(now);

    QByteArray bytes;
    QString error;
    switch (m_file.readRaw(bytes, error)) {
    case LoadResult::Status::Missing:
        return; // rests until an include or the review list switches it on
    case LoadResult::Status::Failed:
        // Unreadable for now (permissions, a folder in its place): keep
        // looking, so alerts resume as soon as it can be read again.
        switchOn();
        return;
    case LoadResult::Status::Loaded:
        break;
    }
    const std::optional<Lembrete> due = m_scanner.firstDue(bytes, now);
    if (!due) {
        switchOn();
        return;
    }
    auto* alert = new AlertWindow(m_host, *this, m_sound);
    m_alert = alert;
    alert->fill(*due);
    if (m_host.reviewPanelShowing()) {
        m_host.hideMainWindow();
    }
    // Timer1 stays off until the alert ends.
    alert->present();
}

AlertWindow* DueScan::alert() const
{
    return m_alert;
}
