#include "QtAlarmSound.h"

#include "alerting/WavFile.h"

#include <QFileInfo>

QtAlarmSound::QtAlarmSound()
{
    m_loading.setSingleShot(true);
    m_loading.setInterval(2000);
    QObject::connect(&m_effect, &QSoundEffect::statusChanged, &m_effect, [this] { useFallbackIfSilent(); });
    QObject::connect(&m_loading, &QTimer::timeout, &m_effect, [this] { useFallbackIfSilent(); });
}

QUrl QtAlarmSound::fallback()
{
    return QUrl(QStringLiteral("qrc:/sounds/default_alarm.wav"));
}

void QtAlarmSound::play(const QString& wavFile)
{
    const QFileInfo file(wavFile);
    const bool usable = file.isFile() && file.isReadable() && WavFile::isWhole(file.absoluteFilePath());
    start(usable ? QUrl::fromLocalFile(file.absoluteFilePath()) : fallback());
}

void QtAlarmSound::stop()
{
    m_wanted = false;
    m_loading.stop();
    m_effect.stop();
}

void QtAlarmSound::start(const QUrl& source)
{
    m_wanted = true;
    m_loading.start(); // before the source changes: loading starts with it
    m_effect.stop();
    // Loaded afresh each time, so a new alarm.wav is heard at the next alert.
    m_effect.setSource(QUrl());
    m_effect.setSource(source);
    m_effect.play();
}

void QtAlarmSound::useFallbackIfSilent()
{
    // A file Qt cannot play, or one still not loaded after a while: the
    // program's own alarm instead.
    const bool failed = m_effect.status() == QSoundEffect::Error
        || (!m_loading.isActive() && m_effect.status() == QSoundEffect::Loading);
    if (failed && m_wanted && m_effect.source() != fallback()) {
        start(fallback());
    }
}
