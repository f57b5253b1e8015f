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

} // namespace InputBlock
