#pragma once

class QWidget;

// The "&" shortcuts of a window's buttons click at once, like a mouse click,
// instead of after Qt's 100 ms pressed-look animation: by then the key's
// release has reached the focused field, and its handler may have changed
// what the button was meant to act on.
namespace ShortcutClicks {

void install(QWidget* window);

} // namespace ShortcutClicks
