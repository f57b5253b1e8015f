#pragma once

#include <QString>

// Where the program keeps its two files: c:\quedrino on Windows and
// ~/quedrino elsewhere. Tests point it somewhere else.
namespace DataFolder {

QString path();
QString reminderFile(); // quedrino.txt in the folder
QString alarmSound(); // alarm.wav in the folder

// Makes the folder and whichever of its parents are missing, each readable
// by its owner only; reminders are nobody else's business. Folders already
// there keep their permissions. True when the folder is there afterwards.
bool makePrivateFolder(const QString& folder);

// An empty path goes back to the platform's folder.
void setPathForTesting(const QString& folder);

} // namespace DataFolder
