#pragma once

#include <QString>

// The alert's sound: played once in the background, stopped on request.
class AlarmSound
{
public:
    virtual ~AlarmSound() = default;

    // Plays the WAV file, or the program's own alarm when the file is
    // missing or cannot be played. Never waits for the sound.
    virtual void play(const QString& wavFile) = 0;
    virtual void stop() = 0;
};
