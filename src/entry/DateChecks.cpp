#include "DateChecks.h"

#include "entry/DateTimeRules.h"

void DateChecks::Verifica_Data(const QString& data)
{
    DataValida = DateTimeRules::dateRule(data);
}

void DateChecks::Verifica_data2(const QString& data, const QString& hora)
{
    HoraValida = true;
    DataValida = DateTimeRules::dateRule(data);
    if (!DataValida) {
        return;
    }
    HoraValida = DateTimeRules::timeRule(hora);
}
