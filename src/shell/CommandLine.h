#pragma once

#include "shell/MenuCommand.h"

#include <QString>
#include <QStringList>

#include <optional>

// What the command line asks of a start: to run, or only to print something
// (the usage, the version, a mistake) and end. Read before any application
// object exists, so --help and --version work without a display.
namespace CommandLine {

struct Request
{
    bool run = true; // false: print and end with exitCode
    QString output; // for stdout
    QString error; // for stderr
    int exitCode = 0;
    bool platformChosen = false; // -platform given: the user picked Qt's platform
    // A desktop action's option: the menu command to run, in the running
    // copy or in this one.
    std::optional<MenuCommand> command;
};

// arguments[0] is the program. Qt's own options (-platform, -style, ...) are
// accepted and left for QApplication.
Request read(const QStringList& arguments);

} // namespace CommandLine
