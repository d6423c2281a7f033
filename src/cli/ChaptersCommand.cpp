// yomora-cli chapters: a book page's details and chapter list, fetched from
// the site or read from a saved page through the same parsers as the
// chapter screen, to check that they still understand a site.

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "sites/NavChaptersFetcher.h"
#include "sites/SiteConfig.h"

namespace {

using CliSupport::fail;

const char *const kUsage = "chapters URL [--json] [--site NAME=URL]...\n"
                           "  chapters --site mangafox|mangareader|mangahere|onemanga --file PAGE [--json]";

QString numberText(const NavChapter &chapter)
{
    return chapter.number() ? chapter.number()->toString() : QString();
}

QJsonValue jsonText(const QString &text)
{
    return text.isNull() ? QJsonValue() : QJsonValue(text);
}

// The details first ("key: value", given ones only) and a blank line, then
// one chapter a line: label, address, number.
void print(const NavBaseChaptersFetcher &fetcher, bool json)
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
        CliSupport::printLine(
            QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented)).trimmed());
        return;
    }
    for (const auto &[key, value] : fields)
        if (!value->isNull())
            CliSupport::printLine(QLatin1StringView(key) + QStringLiteral(": ") +
                                  QString(*value).replace(u'\n', u' ').trimmed());
    CliSupport::printLine(QString());
    for (const NavChapter &chapter : fetcher.chapters())
        CliSupport::printLine(chapter.title() + u'\t' + chapter.urlString() + u'\t' + numberText(chapter));
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

    // A saved page needs only the site's word to choose its parser.
    const QString url = file ? QStringLiteral("http://www.%1.com/").arg(siteName.toLower()) : args.first();
    auto fetcher = NavChaptersFetcher::navChaptersFetcherWithURLString(url, nullptr);
    if (!fetcher)
        return fail(QStringLiteral("Cannot fetch chapters?"));
    if (file) {
        QFile page(*file);
        if (!page.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read %1: %2").arg(*file, page.errorString()));
        fetcher->setHtmlString(CliSupport::pageText(page.readAll()));
        if (fetcher->htmlString().isEmpty())
            fetcher->failWithError(NavBaseChaptersFetcher::unknownEncodingError());
        else
            fetcher->go();
    } else {
        fetcher->start();
    }
    if (fetcher->error())
        return fail(QStringLiteral("Trouble retrieving the chapters list: ") +
                    fetcher->error()->localizedDescription());
    print(*fetcher, json);
    return 0;
}

const CliCommand::Registrar registrar(CliCommand{QStringLiteral("chapters"), QString::fromLatin1(kUsage),
                                                 run});

} // namespace
