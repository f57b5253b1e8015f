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

// PlaySound in the background reports success for a format that no codec
// of the system plays, and then plays nothing: the sound device is asked
// first, as PlaySound will open it.
bool playable(QByteArray format)
{
    if (format.size() < qsizetype(sizeof(PCMWAVEFORMAT))) {
        return false;
    }
    // A plain PCM format chunk stops short of WAVEFORMATEX's last field.
    if (format.size() < qsizetype(sizeof(WAVEFORMATEX))) {
        format.append(qsizetype(sizeof(WAVEFORMATEX)) - format.size(), '\0');
    }
    const auto* header = reinterpret_cast<const WAVEFORMATEX*>(format.constData());
    return waveOutOpen(nullptr, WAVE_MAPPER, header, 0, 0, WAVE_FORMAT_QUERY) == MMSYSERR_NOERROR;
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
    if (WavFile::isWhole(wavFile) && playable(WavFile::format(wavFile)) && start(readAll(wavFile))) {
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
