#pragma once

#include <QString>

// Where the program keeps its two files: c:\quedrino on Windows and
// ~/quedrino elsewhere. Tests point it somewhere else.
namespace DataFolder {

QString path();
QString reminderFile(); // quedrino.txt in the folder
QString alarmSound(); // alarm.wav in the folder

// An empty path goes back to the platform's folder.
void setPathForTesting(const QString& folder);

} // namespace DataFolder
