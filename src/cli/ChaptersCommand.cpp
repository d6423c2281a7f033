// yomora-cli chapters: a book page's details and chapter list, fetched from
// the site or read from a saved page through the same parsers as the
// chapter screen, to check that they still understand a site.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/CliCommand.h"
#include "catalogue/SiteRegistry.h"
#include "cli/CliSupport.h"
#include "sites/NavChaptersFetcher.h"

namespace {

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

int run(const QStringList &args)
{
    return CliSupport::runChaptersFetcher(
        args, kUsage,
        [](const QString &url) { return SiteRegistry::navChaptersFetcherWithURLString(url, nullptr); },
        print);
}

const CliCommand::Registrar registrar(CliCommand{QStringLiteral("chapters"), QString::fromLatin1(kUsage),
                                                 run});

} // namespace
