#include "Platform.h"

#include "alerting/QtAlarmSound.h"

#include <QStandardPaths>

namespace Platform {

std::unique_ptr<AlarmSound> alarmSound()
{
    return std::make_unique<QtAlarmSound>();
}

bool standardOutputReachable()
{
    return true;
}

bool write(std::FILE* stream, const QString& text)
{
    return std::fputs(text.toLocal8Bit().constData(), stream) >= 0 && std::fflush(stream) == 0;
}

QString endProcessCommand(qint64 pid)
{
    return QStringLiteral("kill %1").arg(pid);
}

QString instanceFolder()
{
    // $XDG_RUNTIME_DIR, which only the user can reach.
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

QString instanceServerName(const QString& folder)
{
    return folder + QStringLiteral("/quedrino.socket");
}

} // namespace Platform
