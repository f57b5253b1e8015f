#pragma once

#include "alerting/AlarmSound.h"

#include <QByteArray>

// The alarm through winmm's PlaySound: once, in the background. The sound is
// read into memory first, so a file the player would refuse, or one cut
// short, is known before anything plays and the program's own alarm plays
// in its place. The bytes stay here while they play.
class WinMmAlarmSound : public AlarmSound
{
public:
    ~WinMmAlarmSound() override;

    void play(const QString& wavFile) override;
    void stop() override;

private:
    bool start(const QByteArray& wav);

    QByteArray m_playing;
};
