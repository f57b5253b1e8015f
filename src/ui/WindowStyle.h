#pragma once

class QWidget;

// The look shared by the three windows: fonts and colours by the role named
// in each control's "quedrinoStyle" property, and fixed, centred windows.
namespace WindowStyle {

void applyFonts(QWidget* window);

// Fixed size at the window's current size, only a close button in the title
// bar, centred on its screen.
void makeFixed(QWidget* window);
void centre(QWidget* window);

} // namespace WindowStyle
