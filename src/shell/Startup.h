#pragma once

namespace Startup {

// The whole run: reads the command line; where the program already runs for
// this user, asks that copy to show its include panel and ends; otherwise
// puts the program in the tray (or on screen where there is no tray) until
// "&Encerrar". Returns the exit status.
int start(int& argc, char** argv);

} // namespace Startup
