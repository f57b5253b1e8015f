#pragma once

#include <QString>

#include <cstdio>
#include <memory>

class AlarmSound;

// What differs between the systems the program runs on, behind one face;
// each system has its own source file.
namespace Platform {

// The alert's sound as this system plays it.
std::unique_ptr<AlarmSound> alarmSound();

// Readies standard output and error for the command line's answers. False
// when they lead nowhere: a windowed program started from a shortcut on
// Windows has no console to write to.
bool standardOutputReachable();

// Writes the text to standard output or error in the system's way: the
// local encoding, or on a Windows console its own wide characters, which
// keep the accents whatever the console's code page. False when it could
// not be written.
bool write(std::FILE* stream, const QString& text);

// The command a user types to end the process with this id.
QString endProcessCommand(qint64 pid);

// The folder for the running copy's lock file, only the user's; empty
// where the system offers none.
QString instanceFolder();

// The name the running copy listens on, beside the lock in FOLDER.
QString instanceServerName(const QString& folder);

} // namespace Platform
