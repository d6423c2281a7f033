// yomora-cli latest: a site's latest releases, fetched or read from a saved
// page through the same parsers and licence filter as the latest-release
// screen.

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "sites/NavRecentChaptersFetcher.h"
#include "sites/SiteConfig.h"

namespace {

using CliSupport::fail;

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

int run(QStringList args)
{
    QString siteName;
    if (auto error = CliSupport::takeSiteOptions(args, &siteName))
        return fail(*error, 2);
    const bool json = CliSupport::takeFlag(args, QStringLiteral("--json"));
    QString error;
    const auto file = CliSupport::takeValue(args, QStringLiteral("--file"), &error);
    if (!error.isEmpty())
        return fail(error, 2);
    const QString usage = QStringLiteral("usage: yomora-cli %1").arg(QLatin1String(kUsage));
    if (!CliSupport::unknownOptions(args).isEmpty() || args.size() != (file ? 0 : 1) ||
        (file && !SiteConfig::siteForOptionName(siteName.toLower())) || (!file && !siteName.isEmpty()))
        return fail(usage, 2);

    // A parser check must not open (or create) the user's library to learn
    // the favourites: here no title is exempt from the licence filter.
    NavRecentChaptersFetcher::setFavoriteTitlesProvider([] { return QStringList(); });
    const QString url = file ? QStringLiteral("http://www.%1.com/").arg(siteName.toLower()) : args.first();
    auto fetcher = NavRecentChaptersFetcher::navRecentChaptersFetcherWithURLString(url, nullptr);
    if (!fetcher)
        return fail(QStringLiteral("Cannot fetch chapters?"));
    if (file) {
        QFile page(*file);
        if (!page.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read %1: %2").arg(*file, page.errorString()));
        fetcher->setHtmlString(CliSupport::pageText(page.readAll()));
        if (fetcher->htmlString().isEmpty())
            fetcher->failWithError(NavBaseChaptersFetcher::unknownEncodingError());
        else if (fetcher->go())
            fetcher->filterLicensed();
    } else {
        fetcher->start();
    }
    if (fetcher->error())
        return fail(QStringLiteral("Trouble retrieving the chapters list: ") +
                    fetcher->error()->localizedDescription());
    print(*fetcher, json);
    return 0;
}

const CliCommand::Registrar registrar(CliCommand{QStringLiteral("latest"), QString::fromLatin1(kUsage), run});

} // namespace
