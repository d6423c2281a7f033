#include "StoreFixture.h"
#include "store/DownloadsRequest.h"
#include "store/IsDownloading.h"

namespace {

class DownloadsRequestTest : public StoreFixture
{
protected:
    std::shared_ptr<Download> add(AppData &data, const QString &book, const QString &root, const char *number,
                                  int minutesAgo)
    {
        auto download = data.createDownloadWithRootTitle(
            root, book, QStringLiteral("%1 %2").arg(book, QString::fromLatin1(number)),
            QStringLiteral("http://h/1"), Decimal::fromString(QString::fromLatin1(number)),
            base.addSecs(-60 * minutesAgo), 10);
        download->setBook(data.downloadsBook().get());
        return download;
    }

    static QStringList titles(ManagedObjectContext &context, const FetchRequest &request)
    {
        QStringList out;
        for (const auto &download : context.fetch<Download>(request))
            out << download->title();
        return out;
    }

    QDateTime base = QDateTime::currentDateTimeUtc();
};

TEST_F(DownloadsRequestTest, NewestFirstAndPerMangaInNumberOrder)
{
    auto data = start();
    add(*data, QStringLiteral("Naruto"), QStringLiteral("MangaFox"), "10", 5);
    add(*data, QStringLiteral("Bleach"), QStringLiteral("MangaFox"), "3", 1);
    add(*data, QStringLiteral("Naruto"), QStringLiteral("MangaFox"), "9.5", 2);
    add(*data, QStringLiteral("Naruto"), QStringLiteral("MangaHere"), "1", 3);
    add(*data, QStringLiteral("Naruto"), QStringLiteral("MangaFox"), "20002", 4); // volume 2, chapter 2
    // A library chapter is not a download.
    auto book = data->createBookWithTitle(QStringLiteral("Naruto"), QStringLiteral("MangaFox"));
    data->createChapterWithTitle(QStringLiteral("Naruto 1"), Decimal(1), 5, true)->setBook(book.get());
    ASSERT_FALSE(data->save());

    ManagedObjectContext &context = *data->managedObjectContext();
    EXPECT_EQ(
        titles(context, DownloadsRequest()),
        QStringList({QStringLiteral("Bleach 3"), QStringLiteral("Naruto 9.5"), QStringLiteral("Naruto 1"),
                     QStringLiteral("Naruto 20002"), QStringLiteral("Naruto 10")}));
    EXPECT_EQ(titles(context, DownloadsRequest(QStringLiteral("naruto"), QStringLiteral("MangaFox"))),
              QStringList({QStringLiteral("Naruto 9.5"), QStringLiteral("Naruto 10"),
                           QStringLiteral("Naruto 20002")}));
    auto background = data->newManagedObjectContext(false);
    EXPECT_EQ(titles(*background, DownloadsRequest(background.get())).size(), 5);
}

TEST_F(DownloadsRequestTest, IsDownloadingLooksAtEveryDownload)
{
    // The shared facade, as the program uses it; this test's root is its home.
    AppData &data = AppData::sharedAppData();
    ASSERT_TRUE(data.setup());
    EXPECT_FALSE(IsDownloading());
    add(data, QStringLiteral("A"), QStringLiteral("MangaFox"), "1", 1)->setIsQueued(true);
    auto older = add(data, QStringLiteral("A"), QStringLiteral("MangaFox"), "2", 9);
    EXPECT_FALSE(IsDownloading());
    older->setIsDownloading(true);
    EXPECT_TRUE(IsDownloading());
    EXPECT_TRUE(alerts->isEmpty());
}

} // namespace
