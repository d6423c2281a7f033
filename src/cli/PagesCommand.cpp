#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "deduction/ImageParserDelegate.h"
#include "deduction/SelectPagesParserDelegate.h"
#include "sites/onemanga/OneMangaPrePageParserDelegate.h"
#include "web/HyperParser.h"

namespace {

const char *const kUsage = "pages --file PAGE [--json] [--site onemanga] [--site name=URL]...";

// What the deducers would read on a saved reader page: a quick check that
// the page parsers still understand a site. With "--site onemanga" the page
// is also read as a chapter cover page, for the first reader page's address.
int pages(const QStringList &arguments)
{
    QStringList args = arguments;
    QString error;
    QString parserName;
    if (const auto siteError = CliSupport::takeSiteOptions(args, &parserName))
        return CliSupport::fail(*siteError, 2);
    const bool json = CliSupport::takeFlag(args, QStringLiteral("--json"));
    const auto path = CliSupport::takeValue(args, QStringLiteral("--file"), &error);
    if (!error.isEmpty())
        return CliSupport::fail(error, 2);
    const bool coverPage = parserName.compare(u"onemanga", Qt::CaseInsensitive) == 0;
    if (!path || !args.isEmpty() || (!parserName.isEmpty() && !coverPage))
        return CliSupport::fail(QStringLiteral("usage: yomora-cli %1").arg(QLatin1String(kUsage)), 2);
    const auto page = CliSupport::readPage(*path, &error);
    if (!page)
        return CliSupport::fail(error);
    const QString &text = *page;

    SelectPagesParserDelegate selectPages;
    {
        HyperParser parser(text);
        parser.setDelegate(&selectPages);
        parser.parse();
    }
    ImageParserDelegate images(*path);
    {
        HyperParser parser(text);
        parser.setDelegate(&images);
        parser.parse();
    }
    OneMangaPrePageParserDelegate cover;
    if (coverPage) {
        HyperParser parser(text);
        parser.setDelegate(&cover);
        parser.parse();
    }

    if (json) {
        QJsonArray imageList;
        for (const ImageElement &image : images.images())
            imageList.append(QJsonObject{
                {QStringLiteral("src"), image.src},
                {QStringLiteral("link"), image.parentLink.isNull() ? QJsonValue() : image.parentLink}});
        QJsonObject object{{QStringLiteral("pages"), QJsonArray::fromStringList(selectPages.pages())},
                           {QStringLiteral("mature"), selectPages.isMatureContent()},
                           {QStringLiteral("images"), imageList}};
        if (coverPage)
            object.insert(QStringLiteral("firstPage"),
                          cover.firstPageURLString().isNull() ? QJsonValue() : cover.firstPageURLString());
        CliSupport::printLine(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
        return 0;
    }

    CliSupport::printLine(QStringLiteral("pages: %1").arg(selectPages.pages().size()));
    for (const QString &value : selectPages.pages())
        CliSupport::printLine(u"  " + value);
    CliSupport::printLine(selectPages.isMatureContent() ? QStringLiteral("mature: yes")
                                                        : QStringLiteral("mature: no"));
    CliSupport::printLine(QStringLiteral("images: %1").arg(images.images().size()));
    for (const ImageElement &image : images.images()) {
        CliSupport::printLine(u"  " + image.src);
        CliSupport::printLine(u"    link: " +
                              (image.parentLink.isNull() ? QStringLiteral("(none)") : image.parentLink));
    }
    if (coverPage)
        CliSupport::printLine(u"first page: " + (cover.firstPageURLString().isNull()
                                                     ? QStringLiteral("(none)")
                                                     : cover.firstPageURLString()));
    return 0;
}

const CliCommand::Registrar registrar({QStringLiteral("pages"),
                                       QString::fromLatin1(kUsage) +
                                           QStringLiteral("\n        page selector values, manga images and "
                                                          "mature flag of a saved reader page; for onemanga "
                                                          "also the first page a cover page leads to"),
                                       pages});

} // namespace
