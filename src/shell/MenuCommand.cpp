#include "MenuCommand.h"

namespace {
struct Line
{
    MenuCommand command;
    const char* request;
};

// "show" is what every earlier version sent for the include panel.
// clang-format off
constexpr Line Lines[] = {
    {MenuCommand::Include, "show\n"},
    {MenuCommand::Review,  "review\n"},
    {MenuCommand::About,   "about\n"},
    {MenuCommand::Quit,    "quit\n"},
};
// clang-format on
} // namespace

namespace MenuCommands {

QByteArray request(MenuCommand command)
{
    for (const Line& line : Lines) {
        if (line.command == command) {
            return QByteArray(line.request);
        }
    }
    return {};
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
