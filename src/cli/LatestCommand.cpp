// yomora-cli latest: a site's latest releases, fetched or read from a saved
// page, filtered like the latest-release screen's list.
#include <cstdio>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/CliCommand.h"
#include "sites/NavRecentChaptersFetcher.h"
#include "sites/SiteConfig.h"

namespace {

struct Recorder : NavBaseChaptersFetcherDelegate {
    bool finished = false;
    void navBaseChaptersFetcherFinished(NavBaseChaptersFetcher *) override { finished = true; }
    void navBaseChaptersFetcherFailed(NavBaseChaptersFetcher *) override {}
};

void printResult(const NavRecentChaptersFetcher &fetcher, bool json)
{
    QJsonArray releases;
    for (qsizetype i = 0; i < fetcher.chapters().size(); ++i) {
        const NavChapter &chapter = fetcher.chapters()[i];
        const QString number = chapter.number() ? chapter.number()->toString() : QString();
        const QString &book = fetcher.books()[i].title();
        const QString &date = fetcher.dates()[i];
        if (json)
            releases.append(QJsonObject{{QStringLiteral("book"), book},
                                        {QStringLiteral("title"), chapter.title()},
                                        {QStringLiteral("urlString"), chapter.urlString()},
                                        {QStringLiteral("number"), number.isNull() ? QJsonValue() : number},
                                        {QStringLiteral("date"), date},
                                        {QStringLiteral("label"), fetcher.labels()[i]}});
        else
            std::printf("%s\t%s\t%s\t%s\t%s\n", qPrintable(book), qPrintable(chapter.title()),
                        qPrintable(chapter.urlString()), qPrintable(number), qPrintable(date));
    }
    if (json)
        std::fputs(QJsonDocument(releases).toJson(QJsonDocument::Indented).constData(), stdout);
}

int usage()
{
    std::fputs("usage: yomora-cli latest URL [--json]\n"
               "       yomora-cli latest --site SITE --file PAGE [--json]\n"
               "SITE is one of mangafox, mangareader, mangahere, onemanga.\n",
               stderr);
    return 2;
}

int run(const QStringList &args)
{
    bool json = false;
    QString site;
    QString file;
    QString url;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == u"--json") {
            json = true;
        } else if (arg == u"--site" && i + 1 < args.size()) {
            const QString value = args[++i];
            // "--site name=URL" points a site at a mirror; a bare name picks the parser.
            if (value.contains(u'=')) {
                if (auto problem = SiteConfig::applySiteOption(value)) {
                    std::fprintf(stderr, "yomora-cli latest: %s\n", qPrintable(*problem));
                    return 2;
                }
            } else {
                site = value.toLower();
            }
        } else if (arg == u"--file" && i + 1 < args.size()) {
            file = args[++i];
        } else if (!arg.startsWith(u"--") && url.isEmpty()) {
            url = arg;
        } else {
            return usage();
        }
    }
    Recorder recorder;
    std::shared_ptr<NavRecentChaptersFetcher> fetcher;
    if (!file.isEmpty()) {
        if (!SiteConfig::siteForOptionName(site))
            return usage();
        QFile page(file);
        if (!page.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "yomora-cli latest: cannot read %s\n", qPrintable(file));
            return 1;
        }
        fetcher = NavRecentChaptersFetcher::navRecentChaptersFetcherWithURLString(
            url.isEmpty() ? QStringLiteral("http://www.%1.com/").arg(site) : url, &recorder);
        if (!fetcher)
            return usage();
        fetcher->setHtmlString(QString::fromUtf8(page.readAll()));
        if (fetcher->go()) {
            fetcher->filterLicensed();
            recorder.finished = true;
        }
    } else {
        if (url.isEmpty())
            return usage();
        fetcher = NavRecentChaptersFetcher::navRecentChaptersFetcherWithURLString(url, &recorder);
        if (!fetcher) {
            std::fputs("yomora-cli latest: Cannot fetch chapters?\n", stderr);
            return 1;
        }
        fetcher->start();
    }
    if (!recorder.finished) {
        const QString message = fetcher->error() ? fetcher->error()->localizedDescription() : QString();
        std::fprintf(stderr, "yomora-cli latest: Trouble retrieving the chapters list: %s\n",
                     qPrintable(message));
        return 1;
    }
    printResult(*fetcher, json);
    return 0;
}

const CliCommand::Registrar registrar({QStringLiteral("latest"),
                                       QStringLiteral("latest URL | --site SITE --file PAGE [--json]"), run});

} // namespace
