#pragma once

#include "reminders/Outcome.h"
#include "shell/MenuCommand.h"

#include <QDeadlineTimer>
#include <QString>

// A later start's side of InstanceServer. Blocking, and needs no application
// object, so it runs before (and instead of) the windows.
namespace InstanceClient {

// Asks the running copy to run a menu command; succeeds once it answers,
// with `ran` false when it cannot run the command now (an alert is open);
// fails when nothing listens or no answer comes before the deadline.
Outcome ask(const QString& serverName, MenuCommand command, QDeadlineTimer deadline, bool& ran);

} // namespace InstanceClient
