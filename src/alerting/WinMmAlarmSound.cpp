#include "WinMmAlarmSound.h"

#include "alerting/WavFile.h"

#include <QFile>

#include <windows.h>
// windows.h first: mmsystem.h needs its types.
#include <mmsystem.h>

namespace {
QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

WinMmAlarmSound::~WinMmAlarmSound()
{
    stop();
}

void WinMmAlarmSound::play(const QString& wavFile)
{
    stop();
    // Read afresh each time, so a new alarm.wav is heard at the next alert.
    if (WavFile::isWhole(wavFile) && start(readAll(wavFile))) {
        return;
    }
    start(readAll(QStringLiteral(":/sounds/default_alarm.wav")));
}

void WinMmAlarmSound::stop()
{
    // Synchronous: once it returns, nothing reads m_playing any more.
    PlaySoundW(nullptr, nullptr, 0);
    m_playing.clear();
}

bool WinMmAlarmSound::start(const QByteArray& wav)
{
    if (wav.isEmpty()) {
        return false;
    }
    m_playing = wav;
    // No SND_LOOP: once. SND_NODEFAULT: never the system's beep instead.
    const DWORD flags = SND_MEMORY | SND_ASYNC | SND_NODEFAULT;
    if (PlaySoundW(reinterpret_cast<LPCWSTR>(m_playing.constData()), nullptr, flags)) {
        return true;
    }
    m_playing.clear();
    return false;
}
