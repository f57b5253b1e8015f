#pragma once

#include <QString>
#include <QStringList>

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
};

// arguments[0] is the program. Qt's own options (-platform, -style, ...) are
// accepted and left for QApplication.
Request read(const QStringList& arguments);

} // namespace CommandLine
