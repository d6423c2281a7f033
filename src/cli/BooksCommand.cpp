// yomora-cli books: reads one site list, from the site or from a saved page,
// through the same parsers and filters as the Internet tab. A maintainer runs
// it to see whether a site's parser still understands the site.

#include <QJsonDocument>
#include <QJsonObject>

#include "catalogue/SiteRegistry.h"
#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "cli/CliSupport.h"
#include "sites/BooksParserDelegate.h"
#include "sites/NavBooksFetcher.h"
#include "sites/SiteConfig.h"

namespace {

using CliSupport::fail;

const char *const kUsage =
    "books URL [--json] [--section-filter] [--site NAME=URL]...\n"
    "  books --site mangafox|mangareader|mangareader-popular|mangahere|onemanga --file PAGE\n"
    "        [--json] [--section-filter]";

void print(const QList<NavBook> &books, bool json)
{
    for (const NavBook &book : books) {
        if (json) {
            QJsonObject object{{QStringLiteral("title"), book.title()},
                               {QStringLiteral("urlString"), book.urlString()}};
            object.insert(QStringLiteral("rank"),
                          book.rank().isNull() ? QJsonValue() : QJsonValue(book.rank()));
            CliSupport::printLine(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
        } else {
            CliSupport::printLine(book.title() + u'\t' + book.urlString() + u'\t' + book.rank());
        }
    }
}

int runOnFile(const QString &parserName, const QString &path, bool sectionFilter, bool json)
{
    auto parser = SiteRegistry::booksParserNamed(parserName);
    if (!parser)
        return fail(QStringLiteral("no parser named '%1'").arg(parserName), 2);
    QString error;
    const auto text = CliSupport::readPage(path, &error);
    if (!text)
        return fail(error);
    // The page is read as a fetched one is, with the named parser in place of
    // the one the site's fetcher would choose by the list's address.
    NavBooksFetcher reader(QString(), QString(), QString(), sectionFilter, nullptr);
    if (!reader.readPage(*text, *parser))
        return fail(reader.error()->message);
    print(reader.books(), json);
    return 0;
}

int runOnURL(CliSession &session, const QString &url, bool sectionFilter, bool json)
{
    const QString siteKey = SiteConfig::siteKeyForURL(url);
    auto fetcher = SiteRegistry::navBooksFetcherWithURLString(url, siteKey, url, {}, sectionFilter, nullptr);
    if (!fetcher)
        return fail(QStringLiteral("Error! Cannot fetch mangas from this site?"));
    session.run(fetcher);
    if (fetcher->error())
        return fail(fetcher->error()->localizedDescription());
    print(fetcher->books(), json);
    return 0;
}

int run(QStringList args)
{
    // "--site NAME=URL" points a site elsewhere; "--site NAME" picks the
    // parser for --file.
    CliSession session(args, CliSession::SiteAddresses);
    if (const auto &error = session.optionError())
        return fail(*error, 2);
    const QString &parserName = session.siteName();
    const bool json = CliSupport::takeFlag(args, QStringLiteral("--json"));
    const bool sectionFilter = CliSupport::takeFlag(args, QStringLiteral("--section-filter"));
    QString error;
    const auto file = CliSupport::takeValue(args, QStringLiteral("--file"), &error);
    if (!error.isEmpty())
        return fail(error, 2);
    if (const QStringList unknown = CliSupport::unknownOptions(args); !unknown.isEmpty())
        return fail(QStringLiteral("unknown option %1\nusage: yomora-cli %2")
                        .arg(unknown.first(), QLatin1String(kUsage)),
                    2);

    if (file) {
        if (parserName.isEmpty() || !args.isEmpty())
            return fail(QStringLiteral("usage: yomora-cli %1").arg(QLatin1String(kUsage)), 2);
        return runOnFile(parserName, *file, sectionFilter, json);
    }
    if (args.size() != 1 || !parserName.isEmpty())
        return fail(QStringLiteral("usage: yomora-cli %1").arg(QLatin1String(kUsage)), 2);
    return runOnURL(session, args.first(), sectionFilter, json);
}

const CliCommand::Registrar registrar(CliCommand{QStringLiteral("books"), QString::fromLatin1(kUsage), run});

} // namespace
