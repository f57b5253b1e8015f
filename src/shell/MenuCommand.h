#pragma once

#include <QByteArray>
#include <QString>

// A tray-menu command asked for from outside: by a later start, or by one of
// the desktop entry's actions (`quedrino --rever`). A plain later start asks
// for the include panel.
enum class MenuCommand { Include, Review, About, Quit };

namespace MenuCommands {

// The request line a later start sends for it, and back the command a line
// asks for; false when the line is none of them.
QByteArray request(MenuCommand command);
bool fromRequest(const QByteArray& line, MenuCommand& command);

// The objectName of its tray-menu entry.
QString menuEntry(MenuCommand command);
// What a later start says once the running copy has it.
QString handedOver(MenuCommand command);

} // namespace MenuCommands
