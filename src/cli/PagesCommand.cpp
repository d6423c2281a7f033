#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "deduction/ImageParserDelegate.h"
#include "deduction/SelectPagesParserDelegate.h"
#include "web/HyperParser.h"

namespace {

// What the deducers would read on a saved reader page: a quick check that
// the page parsers still understand a site.
int pages(const QStringList &arguments)
{
    QStringList args = arguments;
    QString error;
    QString parserName;
    if (const auto siteError = CliSupport::takeSiteOptions(args, &parserName))
        return CliSupport::fail(*siteError, 2);
    const auto path = CliSupport::takeValue(args, QStringLiteral("--file"), &error);
    if (!error.isEmpty())
        return CliSupport::fail(error, 2);
    if (!path || !args.isEmpty())
        return CliSupport::fail(QStringLiteral("usage: yomora-cli pages --file PAGE [--site name=URL]..."),
                                2);
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
    return 0;
}

const CliCommand::Registrar registrar({QStringLiteral("pages"),
                                       QStringLiteral("pages --file PAGE [--site name=URL]  page selector "
                                                      "values, manga images and mature flag of a saved "
                                                      "reader page"),
                                       pages});

} // namespace
