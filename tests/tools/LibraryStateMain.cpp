// Makes and checks a home tree for the library's crash rounds
// (tests/tools/library-kill.sh).
//
//   yomora-library-state prepare --root DIR
//     twelve opened, completed downloads of "Kill DL", and a book "Kill" of
//     twelve chapters read up to the last, every page with its file;
//   yomora-library-state check --root DIR
//     after a start has settled the tree: every page record has its file,
//     every file under the images folder belongs to a page record. Prints
//     "downloads D chapters C" (library chapters) and exits 1 on a fault.

#include <cstdio>
#include <set>

#include <QCoreApplication>
#include <QDateTime>
#include <QDirIterator>

#include "files/MyDirectories.h"
#include "store/AppData.h"
#include "store/BooksRequest.h"
#include "store/DownloadsRequest.h"

namespace {

constexpr int kChapters = 12;
constexpr int kPages = 20;

void addPages(AppData &appData, const std::shared_ptr<Chapter> &chapter)
{
    for (int i = 0; i < kPages; ++i) {
        auto page = appData.createPageWithUrlString(QStringLiteral("http://x/%1.jpg").arg(i), i, 10, 20);
        page->setIsDownloaded(true);
        page->setChapter(chapter);
        appData.writeData(QByteArray(2048, char('a' + i)), *page);
    }
}

int prepare(AppData &appData)
{
    for (int n = 1; n <= kChapters; ++n) {
        auto download = appData.createDownloadWithRootTitle(
            QStringLiteral("KillSite"), QStringLiteral("Kill DL"), QStringLiteral("Kill DL %1").arg(n),
            QStringLiteral("http://x/%1").arg(n), Decimal(n), QDateTime::currentDateTimeUtc().addSecs(n - 100),
            kPages);
        download->setBook(appData.downloadsBook());
        download->setIsComplete(true);
        download->setLastPageRead(0);
        addPages(appData, download);
    }
    auto book = appData.createBookWithTitle(QStringLiteral("Kill"), QStringLiteral("KillSite"));
    book->setLastChapterNumberRead(Decimal(kChapters * 10));
    for (int n = 1; n <= kChapters; ++n) {
        auto chapter =
            appData.createChapterWithTitle(QStringLiteral("Kill %1").arg(n), Decimal(n), kPages, true);
        chapter->setBook(book);
        chapter->setLastPageRead(0);
        addPages(appData, chapter);
    }
    if (appData.save()) {
        std::fputs("could not save the prepared library\n", stderr);
        return 1;
    }
    return 0;
}

int check(AppData &appData)
{
    ManagedObjectContext &context = *appData.managedObjectContext();
    std::set<QString> owned;
    int faults = 0;
    const auto checkChapter = [&](const Chapter &chapter) {
        for (const auto &page : chapter.pages()) {
            const QString file = appData.pageFileName(*page);
            owned.insert(file);
            if (page->isDownloaded() && !QFileInfo(file).isFile()) {
                std::printf("page without its file: %s\n", qPrintable(file));
                ++faults;
            }
        }
    };
    const auto downloads = context.fetch<Download>(DownloadsRequest());
    for (const auto &download : downloads)
        checkChapter(*download);
    int chapters = 0;
    for (const auto &book : context.fetch<Book>(BooksRequest())) {
        for (const auto &chapter : book->chapters()) {
            checkChapter(*chapter);
            ++chapters;
        }
    }
    QDirIterator files(MyDirectories::sharedMyDirectories().imagesDirectory(), QDir::Files | QDir::Hidden,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString file = files.next();
        if (!owned.count(file)) {
            std::printf("file that nothing owns: %s\n", qPrintable(file));
            ++faults;
        }
    }
    std::printf("downloads %d chapters %d\n", int(downloads.size()), chapters);
    return faults ? 1 : 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 3 || args[1] != u"--root" || (args[0] != u"prepare" && args[0] != u"check")) {
        std::fputs("usage: yomora-library-state prepare|check --root DIR\n", stderr);
        return 2;
    }
    MyDirectories::setRootDirectory(args[2]);
    MyDirectories::sharedMyDirectories().createDirectories();
    AppData &appData = AppData::sharedAppData();
    if (!appData.setup())
        return 1;
    const int status = args[0] == u"prepare" ? prepare(appData) : check(appData);
    appData.closeStore();
    return status;
}
