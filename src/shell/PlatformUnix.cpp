#include "Platform.h"

#include "alerting/QtAlarmSound.h"

namespace Platform {

std::unique_ptr<AlarmSound> alarmSound()
{
    return std::make_unique<QtAlarmSound>();
}

bool standardOutputReachable()
{
    return true;
}

} // namespace Platform
