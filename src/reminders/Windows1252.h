#pragma once

#include <QByteArray>
#include <QString>

// The reminder file holds one byte per character in Windows-1252 on every
// platform, so files move between Windows and Linux unchanged.
namespace Windows1252 {

// Every byte decodes to one character and encodes back to the same byte,
// including the five bytes the code page leaves undefined.
QString decode(const QByteArray& bytes);

// Characters the code page cannot hold become "?".
QByteArray encode(const QString& text);

} // namespace Windows1252
