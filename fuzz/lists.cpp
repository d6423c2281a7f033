// Fuzzes every site's book-list parser (directory, popular and search pages)
// and the licensed-title filters behind them with arbitrary page text.
#include <memory>

#include "FuzzSupport.h"
#include "sites/mangafox/BooksParserDelegateMangaFox.h"
#include "sites/mangahere/BooksParserDelegateMangaHere.h"
#include "sites/mangareader/BooksParserDelegateMangaReader.h"
#include "sites/mangareader/BooksParserDelegateMangaReaderPopular.h"
#include "sites/onemanga/BooksParserDelegateOneManga.h"
#include "sites/LicensedBooksFilter.h"
#include "sites/LicensedGenreBooksFilter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString page = pageText(data, size);
    std::unique_ptr<BooksParserDelegate> parsers[] = {
        std::make_unique<BooksParserDelegateMangaFox>(), std::make_unique<BooksParserDelegateMangaHere>(),
        std::make_unique<BooksParserDelegateMangaReader>(),
        std::make_unique<BooksParserDelegateMangaReaderPopular>(),
        std::make_unique<BooksParserDelegateOneManga>()};
    for (auto &parser : parsers) {
        parser->parsePage(page);
        const QList<NavBook> &books = parser->navBooks();
        require(books.size() <= tagCount(page), "more books than tags");
        const QList<NavBook> kept = LicensedBooksFilter(books).filteredNavBooks();
        require(kept.size() <= books.size(), "the filter added books");
        require(LicensedGenreBooksFilter(kept).filteredNavBooks().size() <= kept.size(),
                "the genre filter added books");
    }
    return 0;
}
