#pragma once

#include "alerting/AlarmSound.h"

#include <QSoundEffect>
#include <QTimer>

// The alarm through Qt Multimedia.
class QtAlarmSound : public AlarmSound
{
public:
    QtAlarmSound();

    void play(const QString& wavFile) override;
    void stop() override;

    // The program's own alarm, bundled as a resource.
    static QUrl fallback();

private:
    void start(const QUrl& source);
    void useFallbackIfSilent();

    QSoundEffect m_effect;
    QTimer m_loading; // how long a file may take to load before the fallback plays
    bool m_wanted = false; // play() was called and stop() not since
};
