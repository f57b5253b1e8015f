#pragma once

#include "reminders/Outcome.h"

#include <QDeadlineTimer>
#include <QString>

// A later start's side of InstanceServer. Blocking, and needs no application
// object, so it runs before (and instead of) the windows.
namespace InstanceClient {

// Asks the running copy to show its include panel; succeeds once it says it
// has, fails when nothing listens or no answer comes before the deadline.
Outcome askToShow(const QString& serverName, QDeadlineTimer deadline);

} // namespace InstanceClient
