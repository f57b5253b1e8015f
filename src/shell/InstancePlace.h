#pragma once

#include <QString>

// Where the running copy of the program can be found by a later start: a
// lock file and a local socket, both in the user's runtime folder
// ($XDG_RUNTIME_DIR), which only the user can reach. Where Qt finds no usable
// runtime folder, the data folder serves instead.
namespace InstancePlace {

QString folder();
QString lockFile();
QString serverName();

} // namespace InstancePlace
