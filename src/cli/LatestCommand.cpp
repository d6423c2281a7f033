// yomora-cli latest: a site's latest releases, fetched or read from a saved
// page through the same parsers and licence filter as the latest-release
// screen.

#include <QJsonDocument>
#include <QJsonObject>

#include "cli/CliCommand.h"
#include "catalogue/SiteRegistry.h"
#include "cli/CliSupport.h"
#include "sites/NavRecentChaptersFetcher.h"

namespace {

const char *const kUsage = "latest URL [--json] [--site NAME=URL]...\n"
                           "  latest --site mangafox|mangareader|mangahere|onemanga --file PAGE [--json]";

// One release a line: book, chapter label, address, number, date.
void print(const NavRecentChaptersFetcher &fetcher, bool json)
{
    for (qsizetype i = 0; i < fetcher.chapters().size(); ++i) {
        const NavChapter &chapter = fetcher.chapters()[i];
        const QString number = chapter.number() ? chapter.number()->toString() : QString();
        const QString &book = fetcher.books()[i].title();
        const QString &date = fetcher.dates()[i];
        if (json) {
            const QJsonObject object{{QStringLiteral("book"), book},
                                     {QStringLiteral("title"), chapter.title()},
                                     {QStringLiteral("urlString"), chapter.urlString()},
                                     {QStringLiteral("number"), number.isNull() ? QJsonValue() : number},
                                     {QStringLiteral("date"), date},
                                     {QStringLiteral("label"), fetcher.labels()[i]}};
            CliSupport::printLine(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
        } else {
            CliSupport::printLine(book + u'\t' + chapter.title() + u'\t' + chapter.urlString() + u'\t' +
                                  number + u'\t' + date);
        }
    }
}

int run(const QStringList &args)
{
    return CliSupport::runChaptersFetcher(
        args, kUsage,
        [](const QString &url) {
            // A parser check must not open (or create) the user's library to
            // learn the favourites: here no title is exempt from the licence filter.
            NavRecentChaptersFetcher::setFavoriteTitlesProvider([] { return QStringList(); });
            return SiteRegistry::navRecentChaptersFetcherWithURLString(url, nullptr);
        },
        [](const NavBaseChaptersFetcher &fetcher, bool json) {
            print(static_cast<const NavRecentChaptersFetcher &>(fetcher), json);
        });
}

const CliCommand::Registrar registrar(CliCommand{QStringLiteral("latest"), QString::fromLatin1(kUsage), run});

} // namespace
