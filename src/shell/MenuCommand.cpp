#include "MenuCommand.h"

namespace {
struct Line
{
    MenuCommand command;
    const char* request;
    const char* menuEntry;
    const char* shown; // what a later start says once it has been asked
};

// "show" is what every earlier version sent for the include panel.
// clang-format off
constexpr Line Lines[] = {
    {MenuCommand::Include, "show\n",   "mnuInc",      "Quedrino is already running; its include panel is shown"},
    {MenuCommand::Review,  "review\n", "mnuRev",      "Quedrino is already running; its review panel is shown"},
    {MenuCommand::About,   "about\n",  "mnuSobre",    "Quedrino is already running; its About window is shown"},
    {MenuCommand::Quit,    "quit\n",   "mnuEncerrar", "the running Quedrino ends"},
};
// clang-format on

const Line& lineOf(MenuCommand command)
{
    for (const Line& line : Lines) {
        if (line.command == command) {
            return line;
        }
    }
    return Lines[0];
}
} // namespace

namespace MenuCommands {

QByteArray request(MenuCommand command)
{
    return QByteArray(lineOf(command).request);
}

QString menuEntry(MenuCommand command)
{
    return QString::fromLatin1(lineOf(command).menuEntry);
}

QString handedOver(MenuCommand command)
{
    return QStringLiteral("quedrino: %1\n").arg(QLatin1String(lineOf(command).shown));
}

bool fromRequest(const QByteArray& text, MenuCommand& command)
{
    for (const Line& line : Lines) {
        if (text == line.request) {
            command = line.command;
            return true;
        }
    }
    return false;
}

} // namespace MenuCommands
