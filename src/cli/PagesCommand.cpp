#include <cstdio>

#include <QFile>

#include "cli/CliCommand.h"
#include "download/ImageParserDelegate.h"
#include "download/SelectPagesParserDelegate.h"
#include "sites/SiteConfig.h"
#include "web/HyperParser.h"
#include "web/PageTextFetcher.h"

namespace {

// What the deducers would read on a saved reader page: a quick check that
// the page parsers still understand a site.
int pages(const QStringList &arguments)
{
    QStringList args = arguments;
    if (const auto error = SiteConfig::takeSiteOptions(args)) {
        std::fprintf(stderr, "yomora-cli pages: %s\n", qPrintable(*error));
        return 2;
    }
    if (args.size() != 2 || args[0] != u"--file") {
        std::fprintf(stderr, "usage: yomora-cli pages --file PAGE [--site name=URL]...\n");
        return 2;
    }
    QFile file(args[1]);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "yomora-cli pages: cannot read %s: %s\n", qPrintable(args[1]),
                     qPrintable(file.errorString()));
        return 1;
    }
    const QByteArray bytes = file.readAll();
    QString text = PageTextFetcher::decodeUtf8(bytes);
    if (text.isEmpty())
        text = PageTextFetcher::decodeAscii(bytes);
    if (text.isEmpty())
        text = PageTextFetcher::decodeDetected(bytes);

    SelectPagesParserDelegate selectPages;
    {
        HyperParser parser(text);
        parser.setDelegate(&selectPages);
        parser.parse();
    }
    ImageParserDelegate images(args[1]);
    {
        HyperParser parser(text);
        parser.setDelegate(&images);
        parser.parse();
    }

    std::printf("pages: %d\n", int(selectPages.pages().size()));
    for (const QString &value : selectPages.pages())
        std::printf("  %s\n", qPrintable(value));
    std::printf("mature: %s\n", selectPages.isMatureContent() ? "yes" : "no");
    std::printf("images: %d\n", int(images.images().size()));
    for (const ImageElement &image : images.images()) {
        std::printf("  %s\n", qPrintable(image.src));
        std::printf("    link: %s\n", image.parentLink.isNull() ? "(none)" : qPrintable(image.parentLink));
    }
    return 0;
}

const CliCommand::Registrar registrar({QStringLiteral("pages"),
                                       QStringLiteral("pages --file PAGE [--site name=URL]  page selector "
                                                      "values, manga images and mature flag of a saved "
                                                      "reader page"),
                                       pages});

} // namespace
