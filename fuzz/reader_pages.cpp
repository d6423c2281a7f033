// Fuzzes the parsers that page deduction runs over a chapter's reader pages:
// the page selector (with the mature-content watch), the manga image finder
// and the OneManga cover page's first-page link, then the duplicate removal.
#include "FuzzSupport.h"
#include "deduction/Deducer.h"
#include "deduction/ImageParserDelegate.h"
#include "sites/onemanga/OneMangaPrePageParserDelegate.h"
#include "deduction/SelectPagesParserDelegate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString page = pageText(data, size);
    SelectPagesParserDelegate selectPages;
    parse(page, selectPages);
    require(selectPages.pages().size() <= tagCount(page), "more pages than tags");

    ImageParserDelegate images(QStringLiteral("http://www.mangafox.com/manga/x/v01/c001/1.html"));
    parse(page, images);
    require(images.images().size() <= tagCount(page), "more images than tags");
    QStringList sources;
    for (const ImageElement &image : images.images())
        sources << image.src;
    const qsizetype before = sources.size();
    Deducer::removeDuplicates(sources);
    require(sources.size() <= before, "duplicate removal added entries");

    OneMangaPrePageParserDelegate cover;
    parse(page, cover);
    return 0;
}
