#pragma once

#include <QDateTime>

// The one source of "now" for every rule that looks at the time, so tests can
// stop the clock at any second they like.
namespace Clock {

// The local wall-clock date and time, to the second.
QDateTime now();

// From now on now() answers this moment (local time); an invalid moment
// goes back to the system clock.
void setNowForTesting(const QDateTime& moment);

} // namespace Clock
