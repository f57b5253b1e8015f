#pragma once

#include "alerting/AlarmSound.h"

#include <QSoundEffect>

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
    void onStatusChanged();

    QSoundEffect m_effect;
    bool m_wanted = false; // play() was called and stop() not since
};
