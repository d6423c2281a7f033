#pragma once

#include <functional>
#include <vector>

#include <QString>
#include <QStringList>

// One yomora-cli command. Each command lives in its own source file and
// registers itself with a file-scope CliCommand::Registrar, so adding a
// command never touches main().
struct CliCommand {
    QString name;
    QString synopsis; // one line for the usage text, e.g. "books URL [--json]"
    // Receives the arguments after the command name; returns the exit status.
    std::function<int(const QStringList &args)> run;

    static std::vector<CliCommand> &registry();

    struct Registrar {
        explicit Registrar(CliCommand command) { registry().push_back(std::move(command)); }
    };
};
