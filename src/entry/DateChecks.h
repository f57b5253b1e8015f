#pragma once

#include <QString>

// The checks the panels run on typed dates and times before using them. Each
// leaves its verdict in the flags, which the panel then turns into a message.
class DateChecks
{
public:
    bool DataValida = true;
    bool HoraValida = true;

    // The include panel's date field.
    void Verifica_Data(const QString& data);

    // The review panel's date and time fields. A bad date stops the check:
    // the time is not looked at and HoraValida stays true.
    void Verifica_data2(const QString& data, const QString& hora);
};
