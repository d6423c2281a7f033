#pragma once

#include <optional>

#include <QString>
#include <QStringList>

// Small helpers shared by yomora-cli commands: option scanning over the
// argument list (options are removed as they are taken, so what is left are
// the positional arguments) and output.
namespace CliSupport {

// Removes every occurrence of the flag; true when there was one.
bool takeFlag(QStringList &args, const QString &flag);

// Takes "--name VALUE" or "--name=VALUE" (the last one wins). A name at the
// end without its value sets *error.
std::optional<QString> takeValue(QStringList &args, const QString &name, QString *error);

// Options left over that look like options ("-x", "--x"): usage errors.
QStringList unknownOptions(const QStringList &args);

// One line on standard output, UTF-8.
void printLine(const QString &line);
// "yomora-cli: message" on standard error; returns the exit status to use.
int fail(const QString &message, int status = 1);

} // namespace CliSupport
