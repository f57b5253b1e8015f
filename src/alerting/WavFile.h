#pragma once

#include <QByteArray>
#include <QString>

namespace WavFile {

// True when the file is a RIFF WAVE whose sound data is all there. A player
// reports no error for a WAV cut short or too short to hold a header: it
// plays nothing. Such a file gets the program's own alarm instead.
bool isWhole(const QString& path);

// The bytes of the format chunk before the sound data, where a player reads
// how to play it; empty when there is none.
QByteArray format(const QString& path);

} // namespace WavFile
