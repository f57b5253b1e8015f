#pragma once

#include <QString>

// The form checks that typed dates and times pass before they are stored.
// Neither compares with today; the panels do that.
namespace DateTimeRules {

// "dd/mm/yyyy", in order: ten characters; "/" at 3 and 6; day not above 31;
// month not above 12; a real calendar date.
bool dateRule(const QString& text);

// "hh:mm", in order: five characters; hour not above 23; ":" at 3; minute not
// above 59; a real time of day.
bool timeRule(const QString& text);

} // namespace DateTimeRules
