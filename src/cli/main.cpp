#include <algorithm>
#include <cstdio>

#include <QCoreApplication>
#include <QStringList>

#include "cli/CliCommand.h"
#include "cli/CliSession.h"

namespace {
void printUsage(FILE *out)
{
    std::fputs("usage: yomora-cli <command> [options]\n"
               "\n"
               "A headless tool over the Yomora engine.\n"
               "\n"
               "commands:\n"
               "  help                 show this text\n",
               out);
    auto commands = CliCommand::registry();
    std::sort(commands.begin(), commands.end(),
              [](const CliCommand &a, const CliCommand &b) { return a.name < b.name; });
    for (const auto &command : commands)
        std::fprintf(out, "  %s\n", qPrintable(command.synopsis));
}
} // namespace

int main(int argc, char **argv)
{
    // The engine reports through the main thread's event loop, so commands
    // run inside a core application even though nothing is shown.
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const QStringList sharedOptions = CliSession::takeLeadingOptions(args);
    if (args.isEmpty()) {
        printUsage(stderr);
        return 1;
    }
    const QString name = args.takeFirst();
    if (name == u"help" || name == u"--help" || name == u"-h") {
        printUsage(stdout);
        return 0;
    }
    for (const auto &command : CliCommand::registry())
        if (command.name == name)
            return command.run(sharedOptions + args);
    std::fprintf(stderr, "yomora-cli: unknown command '%s'\n\n", qPrintable(name));
    printUsage(stderr);
    return 2;
}
