#pragma once

class QWidget;

// Takes input away from a widget while something needs the user's answer
// first. Blocks nest: the widget is enabled again only when every block on
// it has been lifted, so an alert ending does not unblock a window that the
// About window still holds. The keyboard focus inside the widget comes back
// to where it was, which Qt would otherwise have moved off the disabled
// widgets for good.
namespace InputBlock {

void block(QWidget* widget);
void unblock(QWidget* widget);

// Puts the focus on a widget now, or, while a block holds it, when the
// block is lifted: a handler's "the focus goes to the field to correct"
// outlasts an alert that opened meanwhile.
void giveFocus(QWidget* widget);

} // namespace InputBlock
