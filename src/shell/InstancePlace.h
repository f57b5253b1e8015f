#pragma once

#include <QString>

// Where the running copy of the program can be found by a later start: a
// lock file and a local socket (a named pipe on Windows), in a folder of the
// user's own (Platform::instanceFolder()). Where there is none, the data
// folder serves instead.
namespace InstancePlace {

QString folder();
QString lockFile();
QString serverName();

} // namespace InstancePlace
