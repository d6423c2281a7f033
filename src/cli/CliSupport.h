#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QByteArray>
#include <QString>
#include <QStringList>

class NavBaseChaptersFetcher;

// Small helpers shared by yomora-cli commands: option scanning over the
// argument list (options are removed as they are taken, so what is left are
// the positional arguments) and output. What runs the engine is CliSession.
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

// A saved page's text, decoded as a fetched one is (UTF-8, else ASCII, else
// the detected charset; empty when none of them gives text); nullopt with
// *error set when the file cannot be read.
std::optional<QString> readPage(const QString &path, QString *error);

// The body of the commands that check a chapter-list parser: "URL" fetches
// the page, "--site NAME --file PAGE" reads a saved one with that site's
// parser as a fetched one is read; "--site NAME=URL" and "--json" as
// elsewhere. fetcherFor gives the
// site's fetcher for an address (null for none); print shows the result.
int runChaptersFetcher(
    QStringList args, const char *usage,
    const std::function<std::shared_ptr<NavBaseChaptersFetcher>(const QString &)> &fetcherFor,
    const std::function<void(const NavBaseChaptersFetcher &, bool json)> &print);

// Nullopt when a site's deducer reads the chapter at `url` (an http or https
// address of a site, or of a mirror given with --site); otherwise the
// refusal, naming the address and the sites that can be read. Checked before
// anything is stored: such a download could only fail with nothing to say.
std::optional<QString> unreadableChapterAddress(const QString &url);

// Options left over that look like options ("-x", "--x"): usage errors.
QStringList unknownOptions(const QStringList &args);

// One line on standard output, UTF-8.
void printLine(const QString &line);
// "yomora-cli: message" on standard error; returns the exit status to use.
int fail(const QString &message, int status = 1);

} // namespace CliSupport
