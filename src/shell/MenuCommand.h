#pragma once

#include <QByteArray>

// A tray-menu command asked for from outside: by a later start, or by one of
// the desktop entry's actions (`quedrino --rever`). A plain later start asks
// for the include panel.
enum class MenuCommand { Include, Review, About, Quit };

namespace MenuCommands {

// The request line a later start sends for it, and back the command a line
// asks for; false when the line is none of them.
QByteArray request(MenuCommand command);
bool fromRequest(const QByteArray& line, MenuCommand& command);

} // namespace MenuCommands
