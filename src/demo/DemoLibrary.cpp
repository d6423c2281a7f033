#include "demo/DemoLibrary.h"

#include <map>
#include <mutex>
#include <optional>
#include <tuple>

#include <QDateTime>

#include "demo/DemoPageImage.h"
#include "foundation/Decimal.h"
#include "reader/Cropper.h"
#include "store/AppData.h"
#include "store/Book.h"
#include "store/Download.h"
#include "store/LibraryLookup.h"
#include "store/Page.h"

namespace {

// What the page fetcher would have stored for one arriving page.
struct StoredPage {
    QByteArray bytes;
    double width = 0;
    double height = 0;
    float leftBorder = 0;
    float rightBorder = 0;
    std::optional<bool> isGray;
};

// Drawing, encoding and measuring a page costs far more than writing it, and
// every screenshot scene builds the library afresh.
const StoredPage &storedPage(std::uint64_t seed, int book, int chapter, int page)
{
    static std::mutex mutex;
    static std::map<std::tuple<std::uint64_t, int, int, int>, StoredPage> cache;
    const std::lock_guard lock(mutex);
    auto [it, inserted] = cache.try_emplace({seed, book, chapter, page});
    if (inserted) {
        StoredPage &stored = it->second;
        stored.bytes = DemoPageImage::encoded(seed, book, chapter, page + 1, false);
        Cropper cropper(stored.bytes);
        stored.width = cropper.width();
        stored.height = cropper.height();
        stored.isGray = cropper.isGray();
        if (cropper.crop()) {
            stored.leftBorder = cropper.leftBorder();
            stored.rightBorder = cropper.rightBorder();
        }
    }
    return it->second;
}

void addPages(AppData &appData, Chapter &chapter, std::uint64_t seed, int bookIndex, int chapterIndex,
              int pages, int fetched)
{
    for (int i = 0; i < pages; ++i) {
        const QString url =
            QStringLiteral("http://demo.localhost/%1/%2/%3.jpg").arg(bookIndex).arg(chapterIndex).arg(i + 1);
        auto page = appData.createPageWithUrlString(url, i, 0, 0);
        page->setChapter(&chapter);
        if (i < fetched) {
            const StoredPage &stored = storedPage(seed, bookIndex, chapterIndex, i);
            page->setWidth(stored.width);
            page->setHeight(stored.height);
            page->setLeftBorder(stored.leftBorder);
            page->setRightBorder(stored.rightBorder);
            page->setIsGray(stored.isGray);
            page->setIsDownloaded(true);
            appData.writeData(stored.bytes, *page);
        }
    }
}

int bookIndexOf(const QString &title)
{
    int index = 0;
    for (const auto &entry : DemoLibrary::chapters()) {
        if (title == QLatin1String(entry.bookTitle))
            return index;
        ++index;
    }
    return index;
}

} // namespace

const std::vector<DemoLibrary::ChapterEntry> &DemoLibrary::chapters()
{
    static const std::vector<ChapterEntry> all = {
        {"Blue Harbor", "1", 6},    {"Blue Harbor", "2", 5},    {"Blue Harbor", "3", 5},
        {"Paper Lanterns", "1", 4}, {"Paper Lanterns", "2", 4}, {"Night Train", "12.5", 3},
    };
    return all;
}

void DemoLibrary::create(AppData &appData, std::uint64_t seed)
{
    std::map<QString, std::shared_ptr<Book>> books;
    int chapterIndex = 0;
    for (const ChapterEntry &entry : chapters()) {
        const QString title = QString::fromUtf8(entry.bookTitle);
        auto &book = books[title];
        if (!book)
            book = appData.createBookWithTitle(title, QStringLiteral("demo"));
        const Decimal number = Decimal::fromString(QString::fromLatin1(entry.number));
        auto chapter = appData.createChapterWithTitle(title + u' ' + QLatin1String(entry.number), number,
                                                      entry.pages, true);
        chapter->setBook(book);
        chapter->setLastPageRead(-1);
        addPages(appData, *chapter, seed, bookIndexOf(title), chapterIndex++, entry.pages, entry.pages);
    }
    appData.save();
}

std::shared_ptr<Download> DemoLibrary::createDownload(AppData &appData, const QString &bookTitle,
                                                      const QString &number, int pages, int fetched,
                                                      std::uint64_t seed)
{
    auto download = appData.createDownloadWithRootTitle(
        QStringLiteral("demo"), bookTitle, bookTitle + u' ' + number,
        QStringLiteral("http://demo.localhost/"), Decimal::fromString(number),
        QDateTime::currentDateTimeUtc(), pages);
    download->setBook(appData.downloadsBook());
    download->setLastPageRead(-1);
    const bool complete = fetched >= pages;
    download->setIsComplete(complete);
    download->setIsDownloading(!complete);
    addPages(appData, *download, seed, bookIndexOf(bookTitle),
             100 + int(Decimal::fromString(number).integerPart()), pages, fetched);
    appData.save();
    return download;
}

std::shared_ptr<Chapter> DemoLibrary::chapter(AppData &appData, const QString &bookTitle,
                                              const QString &number)
{
    auto book = LibraryLookup::bookWithTitle(*appData.managedObjectContext(), bookTitle);
    return book ? LibraryLookup::chapterWithNumber(*book, Decimal::fromString(number)) : nullptr;
}
