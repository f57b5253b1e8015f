#pragma once

#include <QMessageBox>
#include <QStringList>

class QWidget;

// Every message the program shows goes through here: an error with the
// critical icon, a single OK and the title "Quedrino", or the one question,
// titled "Exclusão". Tests script the answers and read what was shown.
// A box over the main window blocks only that window's contents, so the tray
// menu still opens and "&Encerrar" still ends the program while it waits.
class MessageBox
{
public:
    static void critical(QWidget* parent, const QString& text);

    // Yes/No with Yes the default; true for Yes.
    static bool question(QWidget* parent, const QString& title, const QString& text);

    // Closes every box still open with its safe answer, No to the question
    // and OK to a message, for a window that must have the user's attention
    // now: a key meant for it must not answer a box hidden behind it.
    static void answerOpenSafely();

    // From now on no box is shown: errors are only recorded, and questions
    // take the next scripted answer (No when none is left).
    static void setScripted(bool scripted);
    static void setNextAnswer(QMessageBox::StandardButton answer);
    // The texts shown so far, oldest first; taking them clears the record.
    static QStringList takeShown();

private:
    static QMessageBox::StandardButton show(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                            const QString& text, QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton);
};
