#pragma once

#include "alerting/AlarmSound.h"

#include <QStringList>

// Records what would have been heard.
class FakeAlarmSound : public AlarmSound
{
public:
    void play(const QString& wavFile) override
    {
        played << wavFile;
        playing = true;
    }
    void stop() override
    {
        ++stops;
        playing = false;
    }

    QStringList played;
    int stops = 0;
    bool playing = false;
};
