#pragma once

class QWidget;

// The look shared by the three windows: fonts and colours by the role named
// in each control's "quedrinoStyle" property, and fixed, centred windows.
namespace WindowStyle {

void applyFonts(QWidget* window);

// The windows fix their text colours (navy labels, blue links) and leave the
// backgrounds to the system: on a dark desktop that would be navy on dark
// grey. There the whole program, message boxes too, takes Qt's light
// palette instead. Call once, before any window is made.
void useLightPaletteOnDarkDesktop();

// Fixed size at the window's current size, only a close button in the title
// bar, centred on its screen.
void makeFixed(QWidget* window);
void centre(QWidget* window);

} // namespace WindowStyle
