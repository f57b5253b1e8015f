#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

// The program's pictures, drawn at 16 and 32 pixels instead of shipped as
// image files.
namespace Icons {

QIcon notes(); // the main window and the tray: a sheet of notes with a red binding
QIcon bell(); // the alert window
QIcon info(); // the About window: "i" in a speech bubble

// The links' and the badges' own mouse pointer: a monochrome pointing hand,
// 32 x 32, its hot spot at the fingertip (column 5, row 0).
QCursor hand();

// The 90 x 38 badge with the maker's name.
QPixmap badge(const QString& makerName);

} // namespace Icons
