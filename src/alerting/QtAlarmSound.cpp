#include "QtAlarmSound.h"

#include <QFileInfo>

QtAlarmSound::QtAlarmSound()
{
    QObject::connect(&m_effect, &QSoundEffect::statusChanged, &m_effect, [this] { onStatusChanged(); });
}

QUrl QtAlarmSound::fallback()
{
    return QUrl(QStringLiteral("qrc:/sounds/default_alarm.wav"));
}

void QtAlarmSound::play(const QString& wavFile)
{
    const QFileInfo file(wavFile);
    start(file.isFile() && file.isReadable() && file.size() > 0 ? QUrl::fromLocalFile(file.absoluteFilePath())
                                                                : fallback());
}

void QtAlarmSound::stop()
{
    m_wanted = false;
    m_effect.stop();
}

void QtAlarmSound::start(const QUrl& source)
{
    m_wanted = true;
    m_effect.stop();
    // Loaded afresh each time, so a new alarm.wav is heard at the next alert.
    m_effect.setSource(QUrl());
    m_effect.setSource(source);
    m_effect.play();
}

void QtAlarmSound::onStatusChanged()
{
    // A file that is not a playable WAV: the program's own alarm instead.
    if (m_effect.status() == QSoundEffect::Error && m_wanted && m_effect.source() != fallback()) {
        start(fallback());
    }
}
