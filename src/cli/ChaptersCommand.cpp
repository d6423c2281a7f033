// yomora-cli chapters: a book page's details and chapter list, fetched from
// the site or read from a saved page, to check that the parsers still
// understand a site.
#include <cstdio>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/CliCommand.h"
#include "sites/NavChaptersFetcher.h"
#include "sites/SiteConfig.h"

namespace {

struct Recorder : NavBaseChaptersFetcherDelegate {
    bool finished = false;
    bool failed = false;
    void navBaseChaptersFetcherFinished(NavBaseChaptersFetcher *) override { finished = true; }
    void navBaseChaptersFetcherFailed(NavBaseChaptersFetcher *) override { failed = true; }
};

QString numberText(const NavChapter &chapter)
{
    return chapter.number() ? chapter.number()->toString() : QString();
}

QJsonValue jsonText(const QString &text)
{
    return text.isNull() ? QJsonValue() : QJsonValue(text);
}

void printResult(const NavBaseChaptersFetcher &fetcher, bool json)
{
    const NavBookInfo &info = fetcher.navBookInfo();
    const std::pair<const char *, const QString *> fields[] = {{"author", &info.author},
                                                               {"artist", &info.artist},
                                                               {"genre", &info.genre},
                                                               {"rank", &info.rank},
                                                               {"summary", &info.summary},
                                                               {"license", &info.license},
                                                               {"cover", &info.coverUrlString},
                                                               {"demographic", &info.demographic},
                                                               {"releaseDate", &info.releaseDate},
                                                               {"status", &info.status}};
    if (json) {
        QJsonObject details;
        for (const auto &[key, value] : fields)
            details.insert(QLatin1StringView(key), jsonText(*value));
        QJsonArray chapters;
        for (const NavChapter &chapter : fetcher.chapters())
            chapters.append(QJsonObject{{QStringLiteral("title"), chapter.title()},
                                        {QStringLiteral("urlString"), chapter.urlString()},
                                        {QStringLiteral("number"), jsonText(numberText(chapter))}});
        const QJsonObject root{{QStringLiteral("details"), details}, {QStringLiteral("chapters"), chapters}};
        std::fputs(QJsonDocument(root).toJson(QJsonDocument::Indented).constData(), stdout);
        return;
    }
    for (const auto &[key, value] : fields)
        if (!value->isNull())
            std::printf("%s: %s\n", key, qPrintable(QString(*value).replace(u'\n', u' ').trimmed()));
    std::printf("\n");
    for (const NavChapter &chapter : fetcher.chapters())
        std::printf("%s\t%s\t%s\n", qPrintable(chapter.title()), qPrintable(chapter.urlString()),
                    qPrintable(numberText(chapter)));
}

int usage()
{
    std::fputs("usage: yomora-cli chapters URL [--json]\n"
               "       yomora-cli chapters --site SITE --file PAGE [--json]\n"
               "SITE is one of mangafox, mangareader, mangahere, onemanga.\n",
               stderr);
    return 2;
}

int run(const QStringList &arguments)
{
    QStringList args = arguments;
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
                    std::fprintf(stderr, "yomora-cli chapters: %s\n", qPrintable(*problem));
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
    std::shared_ptr<NavChaptersFetcher> fetcher;
    if (!file.isEmpty()) {
        if (!SiteConfig::siteForOptionName(site))
            return usage();
        QFile page(file);
        if (!page.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "yomora-cli chapters: cannot read %s\n", qPrintable(file));
            return 1;
        }
        // The site word alone chooses the fetcher; the page is already here.
        fetcher = NavChaptersFetcher::navChaptersFetcherWithURLString(
            url.isEmpty() ? QStringLiteral("http://www.%1.com/").arg(site) : url, &recorder);
        if (!fetcher)
            return usage();
        fetcher->setHtmlString(QString::fromUtf8(page.readAll()));
        if (fetcher->go())
            recorder.finished = true;
        else
            recorder.failed = true;
    } else {
        if (url.isEmpty())
            return usage();
        fetcher = NavChaptersFetcher::navChaptersFetcherWithURLString(url, &recorder);
        if (!fetcher) {
            std::fputs("yomora-cli chapters: Cannot fetch chapters?\n", stderr);
            return 1;
        }
        fetcher->start();
    }
    if (!recorder.finished) {
        const QString message = fetcher->error() ? fetcher->error()->localizedDescription() : QString();
        std::fprintf(stderr, "yomora-cli chapters: Trouble retrieving the chapters list: %s\n",
                     qPrintable(message));
        return 1;
    }
    printResult(*fetcher, json);
    return 0;
}

const CliCommand::Registrar registrar({QStringLiteral("chapters"),
                                       QStringLiteral("chapters URL | --site SITE --file PAGE [--json]"),
                                       run});

} // namespace
