#pragma once

#include <QString>

class QWidget;

// What a screen reader hears. Each field is named after its label (its
// buddy) or, with none, the frame it sits in: "Data", not the panel's
// "Incluir Lembrete" that Qt would give every field of the panel.
namespace Accessibility {

// Puts the program's own interfaces in place of Qt's where Qt's fail a
// screen reader; once, before any window is made.
void install();

void nameFields(QWidget* window);

// Says a window that has just opened out loud, with its text.
void announce(QWidget* window, const QString& text);

} // namespace Accessibility
