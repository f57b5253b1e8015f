#include "Lembrete.h"

Lembrete Lembrete::fromLine(const QString& line)
{
    return {line.left(DateWidth), line.mid(DateWidth, TimeWidth), line.mid(DateWidth + TimeWidth)};
}

QString Lembrete::toLine() const
{
    return data + hora + descricao;
}

QString Lembrete::momento() const
{
    return data + QLatin1Char(' ') + hora;
}
