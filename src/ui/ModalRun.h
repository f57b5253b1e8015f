#pragma once

class QDialog;
class QWidget;

// Shows a dialog and waits until it closes, with `blocked` taking no input
// meanwhile. Unlike QDialog::exec, the rest of the program stays live: the
// tray icon's menu still opens, so the program can be ended with a dialog up.
// A window manager that raises the blocked window when it is clicked would
// hide the dialog the user has to answer: it is brought back above.
// Returns the dialog's result.
int runModal(QDialog& dialog, QWidget* blocked);
