#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "catalogue/SiteRegistry.h"
#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "cli/CliSupport.h"

namespace {

const char *const kUsage = "pages --file PAGE [--json] [--site onemanga] [--site name=URL]...";

// What the deducers would read on a saved reader page: a quick check that
// the page parsers still understand a site. With "--site onemanga" the page
// is also read as a chapter cover page, for the first reader page's address.
int pages(const QStringList &arguments)
{
    QStringList args = arguments;
    QString error;
    CliSession session(args, CliSession::SiteAddresses);
    if (const auto &siteError = session.optionError())
        return CliSupport::fail(*siteError, 2);
    const QString &parserName = session.siteName();
    const bool json = CliSupport::takeFlag(args, QStringLiteral("--json"));
    const auto path = CliSupport::takeValue(args, QStringLiteral("--file"), &error);
    if (!error.isEmpty())
        return CliSupport::fail(error, 2);
    // "--site NAME" asks for the page to be read as that site's chapter
    // cover page too, which only a site whose chapters start on one has.
    const auto coverPageSite =
        parserName.isEmpty() ? std::nullopt : SiteConfig::siteForOptionName(parserName);
    if (!path || !args.isEmpty() ||
        (!parserName.isEmpty() && (!coverPageSite || !SiteRegistry::readsCoverPages(*coverPageSite))))
        return CliSupport::fail(QStringLiteral("usage: yomora-cli %1").arg(QLatin1String(kUsage)), 2);
    const auto page = CliSupport::readPage(*path, &error);
    if (!page)
        return CliSupport::fail(error);
    const ReaderPageReading reading = SiteRegistry::readReaderPage(*page, *path, coverPageSite);
    const auto &firstPage = reading.firstPageURLString;

    if (json) {
        QJsonArray imageList;
        for (const ImageElement &image : reading.images)
            imageList.append(QJsonObject{
                {QStringLiteral("src"), image.src},
                {QStringLiteral("link"), image.parentLink.isNull() ? QJsonValue() : image.parentLink}});
        QJsonObject object{{QStringLiteral("pages"), QJsonArray::fromStringList(reading.pages)},
                           {QStringLiteral("mature"), reading.isMatureContent},
                           {QStringLiteral("images"), imageList}};
        if (firstPage)
            object.insert(QStringLiteral("firstPage"), firstPage->isNull() ? QJsonValue() : *firstPage);
        CliSupport::printLine(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
        return 0;
    }

    CliSupport::printLine(QStringLiteral("pages: %1").arg(reading.pages.size()));
    for (const QString &value : reading.pages)
        CliSupport::printLine(u"  " + value);
    CliSupport::printLine(reading.isMatureContent ? QStringLiteral("mature: yes")
                                                  : QStringLiteral("mature: no"));
    CliSupport::printLine(QStringLiteral("images: %1").arg(reading.images.size()));
    for (const ImageElement &image : reading.images) {
        CliSupport::printLine(u"  " + image.src);
        CliSupport::printLine(u"    link: " +
                              (image.parentLink.isNull() ? QStringLiteral("(none)") : image.parentLink));
    }
    if (firstPage)
        CliSupport::printLine(u"first page: " +
                              (firstPage->isNull() ? QStringLiteral("(none)") : *firstPage));
    return 0;
}

const CliCommand::Registrar registrar({QStringLiteral("pages"),
                                       QString::fromLatin1(kUsage) +
                                           QStringLiteral("\n        page selector values, manga images and "
                                                          "mature flag of a saved reader page; for onemanga "
                                                          "also the first page a cover page leads to"),
                                       pages});

} // namespace
