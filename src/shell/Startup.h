#pragma once

class QApplication;

namespace Startup {

// Puts the program in the tray (or on screen where there is no tray) and runs
// it until "&Encerrar"; returns the exit status.
int run(QApplication& app);

} // namespace Startup
