// Fuzzes the chapter URL parsers of every site and the URL-string joins with
// arbitrary text. The input is split at its first newline into a base and a
// component for the joins; the whole input is also parsed as a chapter URL.
#include "FuzzSupport.h"
#include "catalogue/SiteRegistry.h"
#include "files/UrlStringJoins.h"
#include "web/URLParser.h"
#include "sites/mangafox/URLParserMangaFox.h"
#include "sites/mangahere/URLParserMangaHere.h"
#include "sites/mangareader/URLParserMangaReader.h"
#include "sites/onemanga/URLParserOneManga.h"

namespace {

template <class Parser> void readChapter(const QString &url)
{
    auto parser = URLParser::create<Parser>(url);
    const QString title = parser->chapterTitle();
    require(title.startsWith(u"Ch.") || title.startsWith(u"Vol."), "label without Ch. or Vol.");
    (void)parser->adjustedChapterNumber().toString();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = pageText(data, size);
    readChapter<URLParserMangaFox>(text);
    readChapter<URLParserMangaHere>(text);
    readChapter<URLParserMangaReader>(text);
    readChapter<URLParserOneManga>(text);
    if (auto parser = SiteRegistry::urlParserWithURLString(text))
        (void)parser->chapterTitle();

    const qsizetype newline = text.indexOf(u'\n');
    const QString base = newline < 0 ? text : text.left(newline);
    const QString component = newline < 0 ? QString() : text.mid(newline + 1);
    const QString joined = urlStringByAppendingPathComponent(base, component);
    if (!component.startsWith(u"http:") && !component.startsWith(u"https:"))
        require(joined.endsWith(component), "join lost the component");
    const QString parent = urlStringByDeletingLastPathComponent(joined);
    require(parent.size() <= joined.size(), "parent longer than the path");
    return 0;
}
