#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

const QString Usage
    = QStringLiteral("Uso: quedrino [opções]\n"
                     "\n"
                     "Lembretes na área de notificação. Com o Quedrino já aberto, iniciá-lo de\n"
                     "novo abre o \"Incluir Lembrete\" do que está aberto.\n"
                     "\n"
                     "Opções:\n"
                     "  -h, --help     mostra esta ajuda e termina\n"
                     "  -v, --version  mostra a versão e termina\n"
                     "  --incluir      abre o \"Incluir Lembrete\"\n"
                     "  --rever        abre o \"Rever Lembretes\"\n"
                     "  --sobre        abre o \"Sobre\"\n"
                     "  --encerrar     encerra o Quedrino aberto (sem ele, não faz nada)\n"
                     "\n"
                     "As quatro últimas fazem o que o menu da área de notificação faz: no\n"
                     "Quedrino já aberto, ou num que iniciam.\n"
                     "\n"
                     "Aceita também as opções do Qt, como -platform e -style.\n");

// QApplication takes these out of the arguments itself; they must not count
// as unknown here.
void addQtOptions(QCommandLineParser& parser)
{
    const char* const withValue[] = {"platform",
                                     "platformpluginpath",
                                     "platformtheme",
                                     "plugin",
                                     "qwindowgeometry",
                                     "geometry",
                                     "qwindowicon",
                                     "icon",
                                     "qwindowtitle",
                                     "title",
                                     "session",
                                     "display",
                                     "name",
                                     "style",
                                     "stylesheet"};
    for (const char* name : withValue) {
        parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("valor")));
    }
    const char* const flags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};
    for (const char* name : flags) {
        parser.addOption(QCommandLineOption(QString::fromLatin1(name)));
    }
}

// The argument as typed, dashes and all, for the option the parser names.
QString asTyped(const QStringList& arguments, const QString& name)
{
    for (const QString& argument : arguments.mid(1)) {
        QString bare = argument.section(QLatin1Char('='), 0, 0);
        while (bare.startsWith(QLatin1Char('-'))) {
            bare.remove(0, 1);
        }
        if (bare == name) {
            return argument.section(QLatin1Char('='), 0, 0);
        }
    }
    return name;
}

CommandLine::Request mistake(const QString& what)
{
    CommandLine::Request request;
    request.run = false;
    request.error = QStringLiteral("quedrino: %1\nUse \"quedrino --help\" para ver as opções.\n").arg(what);
    request.exitCode = 2;
    return request;
}

} // namespace

namespace CommandLine {

Request read(const QStringList& arguments)
{
    QCommandLineParser parser;
    // "-platform" is one option, as QApplication reads it, not "-p -l -a ...".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(help);
    parser.addOption(version);
    // clang-format off
    const std::pair<QCommandLineOption, MenuCommand> commands[] = {
        {QCommandLineOption(QStringLiteral("incluir")),  MenuCommand::Include},
        {QCommandLineOption(QStringLiteral("rever")),    MenuCommand::Review},
        {QCommandLineOption(QStringLiteral("sobre")),    MenuCommand::About},
        {QCommandLineOption(QStringLiteral("encerrar")), MenuCommand::Quit},
    };
    // clang-format on
    for (const auto& [option, command] : commands) {
        parser.addOption(option);
    }
    addQtOptions(parser);

    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            return mistake(QStringLiteral("opção desconhecida: %1").arg(asTyped(arguments, unknown.first())));
        }
        return mistake(QStringLiteral("linha de comando inválida: %1").arg(parser.errorText()));
    }
    if (!parser.positionalArguments().isEmpty()) {
        return mistake(QStringLiteral("argumento inesperado: %1").arg(parser.positionalArguments().first()));
    }
    Request request;
    if (parser.isSet(help)) {
        request.run = false;
        request.output = Usage;
    } else if (parser.isSet(version)) {
        request.run = false;
        request.output = QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                       QCoreApplication::applicationVersion());
    }
    request.platformChosen = parser.isSet(QStringLiteral("platform"));
    for (const auto& [option, command] : commands) {
        if (parser.isSet(option)) {
            if (request.command) {
                return mistake(QStringLiteral("uma ação só de cada vez"));
            }
            request.command = command;
        }
    }
    return request;
}

} // namespace CommandLine
