#include "StoreFixture.h"
#include "store/BooksRequest.h"
#include "store/FavoritesRequest.h"

namespace {

class BooksRequestTest : public StoreFixture
{
protected:
    QStringList titles(const FetchRequest &request)
    {
        std::optional<Error> error;
        QStringList out;
        for (const auto &book : appData->managedObjectContext()->fetch<Book>(request, &error))
            out << book->title() + u'|' + book->rootTitle();
        EXPECT_FALSE(error);
        return out;
    }

    std::unique_ptr<AppData> appData;
};

TEST_F(BooksRequestTest, LibraryListNeverHoldsTheDownloadsBook)
{
    appData = start();
    EXPECT_EQ(titles(BooksRequest()), QStringList());
    appData->createBookWithTitle(QStringLiteral("b"), QStringLiteral("MangaFox"));
    appData->createBookWithTitle(QStringLiteral("Downloads"), QStringLiteral("Import")); // a manga so named
    appData->createBookWithTitle(QStringLiteral("C"), QStringLiteral("MangaFox"));
    appData->createBookWithTitle(QStringLiteral("a"), QStringLiteral("MangaHere"));
    // Unsaved and saved records alike, in collation order ignoring case.
    EXPECT_EQ(titles(BooksRequest()),
              QStringList({QStringLiteral("a|MangaHere"), QStringLiteral("b|MangaFox"),
                           QStringLiteral("C|MangaFox")}));
    ASSERT_FALSE(appData->save());
    EXPECT_EQ(titles(BooksRequest()).size(), 3);
}

TEST_F(BooksRequestTest, TitleLookupsIgnoreCaseAndTakeWildcards)
{
    appData = start();
    appData->createBookWithTitle(QStringLiteral("One Piece"), QStringLiteral("MangaFox"));
    appData->createBookWithTitle(QStringLiteral("One Piece"), QStringLiteral("MangaHere"));
    appData->createBookWithTitle(QStringLiteral("One Punch"), QStringLiteral("MangaFox"));
    ASSERT_FALSE(appData->save());
    const QString fox = QStringLiteral("MangaFox");
    const struct {
        QString title;
        QString rootTitle;
        QStringList expected;
    } cases[] = {
        {QStringLiteral("one piece"), fox, {QStringLiteral("One Piece|MangaFox")}},
        {QStringLiteral("one piece"), QStringLiteral("Import"), {}},
        {QStringLiteral("ONE PIECE"),
         QString(),
         {QStringLiteral("One Piece|MangaFox"), QStringLiteral("One Piece|MangaHere")}},
        {QStringLiteral("One P*"),
         fox,
         {QStringLiteral("One Piece|MangaFox"), QStringLiteral("One Punch|MangaFox")}},
        {QStringLiteral("One P"), fox, {}},
        {QStringLiteral("downloads"), QStringLiteral("Downloads"), {}},
        // An empty title is a title, not a wildcard for the whole library.
        {QStringLiteral(""), fox, {}},
        // A root title without a title is ignored: the whole library.
        {QString(),
         QStringLiteral("MangaHere"),
         {QStringLiteral("One Piece|MangaFox"), QStringLiteral("One Piece|MangaHere"),
          QStringLiteral("One Punch|MangaFox")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString(c.title + u'/' + c.rootTitle).toStdString());
        EXPECT_EQ(titles(BooksRequest(c.title, c.rootTitle)), c.expected);
    }
    // The form for background contexts asks the same question there.
    auto background = appData->newManagedObjectContext(false);
    EXPECT_EQ(background->fetch<Book>(BooksRequest(QStringLiteral("one p*"), fox, background.get())).size(),
              2u);
}

TEST_F(BooksRequestTest, FavouritesComeInTitleOrderIgnoringCase)
{
    appData = start();
    for (const char *title : {"zeta", "Alpha", "beta"})
        appData->createFavoriteWithTitle(QString::fromLatin1(title), QStringLiteral("/m"),
                                         QStringLiteral("http://h/"), QStringLiteral("MangaFox"));
    QStringList order;
    for (const auto &favorite : appData->managedObjectContext()->fetch<Favorite>(FavoritesRequest()))
        order << favorite->title();
    EXPECT_EQ(order, QStringList({QStringLiteral("Alpha"), QStringLiteral("beta"), QStringLiteral("zeta")}));
}

} // namespace
