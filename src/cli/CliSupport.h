#pragma once

#include <optional>

#include <QByteArray>
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

// Takes every "--site NAME=URL" / "--site=NAME=URL" (pointing a site at a
// mirror or a local server) and applies it; a "--site NAME" without "="
// names the site whose parser reads a saved page, returned in *parserName.
// Returns the first error.
std::optional<QString> takeSiteOptions(QStringList &args, QString *parserName);

// A saved page decoded as a fetched one is: UTF-8, else ASCII, else the
// detected charset. Empty when none of them gives text.
QString pageText(const QByteArray &bytes);

// Options left over that look like options ("-x", "--x"): usage errors.
QStringList unknownOptions(const QStringList &args);

// One line on standard output, UTF-8.
void printLine(const QString &line);
// "yomora-cli: message" on standard error; returns the exit status to use.
int fail(const QString &message, int status = 1);

} // namespace CliSupport
