#include "QtAlarmSound.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

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

bool QtAlarmSound::wholeWav(const QString& path)
{
    // QSoundEffect reports no error for a WAV cut short (it waits for the rest
    // forever) or for a file too short to hold a header: it plays nothing.
    // The RIFF layout tells those apart; what Qt cannot decode still comes
    // back as an error.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray riff = file.read(12);
    if (riff.size() < 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE") {
        return false;
    }
    for (;;) {
        const QByteArray chunk = file.read(8);
        if (chunk.size() < 8) {
            return false; // no sound data at all
        }
        const qint64 size = qFromLittleEndian<quint32>(chunk.constData() + 4);
        if (chunk.startsWith("data")) {
            return size > 0 && file.pos() + size <= file.size();
        }
        if (!file.seek(file.pos() + size + (size & 1)) || file.atEnd()) {
            return false;
        }
    }
}

void QtAlarmSound::play(const QString& wavFile)
{
    const QFileInfo file(wavFile);
    const bool usable = file.isFile() && file.isReadable() && wholeWav(file.absoluteFilePath());
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
