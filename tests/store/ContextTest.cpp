#include <csignal>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

#include <sqlite3.h>

#include "StoreFixture.h"
#include "store/PagesData.h"
#include "support/EventLoop.h"

namespace {

class ContextTest : public StoreFixture
{
protected:
    void SetUp() override
    {
        StoreFixture::SetUp();
        appData = start();
        context = appData->managedObjectContext();
    }

    std::vector<QString> bookTitles(ManagedObjectContext &in, const Predicate &predicate = {})
    {
        std::vector<QString> titles;
        const FetchRequest request(AppData::BookEntityName,
                                   Predicate::comparison(QStringLiteral("title"),
                                                         Predicate::Operator::NotEqual,
                                                         AppData::DownloadsBookName) &&
                                       predicate,
                                   {SortDescriptor::localizedCaseInsensitive(QStringLiteral("title"))});
        std::optional<Error> error;
        for (const auto &book : in.fetch<Book>(request, &error))
            titles.push_back(book->title());
        EXPECT_FALSE(error) << error->message.toStdString();
        return titles;
    }

    size_t count(const QString &entity)
    {
        auto fresh = appData->newManagedObjectContext(false);
        return fresh->executeFetchRequest(FetchRequest(entity)).size();
    }

    std::shared_ptr<Chapter> addChapter(const std::shared_ptr<Book> &book, const QString &number, int pages,
                                        ManagedObjectContext *in = nullptr)
    {
        auto chapter = appData->createChapterWithTitle(number, Decimal::fromString(number), pages, true, in);
        chapter->setBook(book.get());
        for (int i = 1; i <= pages; ++i)
            appData->createPageWithUrlString(QStringLiteral("http://h/%1.jpg").arg(i), i, 10, 10, in)
                ->setChapter(chapter.get());
        return chapter;
    }

    std::unique_ptr<AppData> appData;
    ManagedObjectContext *context = nullptr;
};

using Titles = std::vector<QString>;

TEST_F(ContextTest, FetchesSeeUnsavedInsertsUpdatesAndDeletes)
{
    for (const char *title : {"alpha", "Bravo", "charlie"})
        appData->createBookWithTitle(QString::fromLatin1(title), QStringLiteral("Site"));
    ASSERT_FALSE(appData->save());

    // Code-point order: "Bravo", "Downloads", "alpha", "charlie".
    auto books = context->fetch<Book>(
        FetchRequest(AppData::BookEntityName, {}, {SortDescriptor{QStringLiteral("title")}}));
    ASSERT_EQ(books.size(), 4u);
    ASSERT_EQ(books[0]->title(), QStringLiteral("Bravo"));
    appData->createBookWithTitle(QStringLiteral("delta"), QStringLiteral("Site"));
    context->deleteObject(books[0]);
    books[3]->setTitle(QStringLiteral("Zulu"));

    EXPECT_EQ(bookTitles(*context),
              (Titles{QStringLiteral("alpha"), QStringLiteral("delta"), QStringLiteral("Zulu")}));
    const auto z = Predicate::predicateWithFormat(QStringLiteral("title LIKE[c] %@"), {QStringLiteral("z*")});
    EXPECT_EQ(bookTitles(*context, z), (Titles{QStringLiteral("Zulu")}));
    // Another context sees only what was saved.
    auto other = appData->newManagedObjectContext(false);
    EXPECT_EQ(bookTitles(*other),
              (Titles{QStringLiteral("alpha"), QStringLiteral("Bravo"), QStringLiteral("charlie")}));

    ASSERT_FALSE(appData->save());
    other = appData->newManagedObjectContext(false);
    EXPECT_EQ(bookTitles(*other),
              (Titles{QStringLiteral("alpha"), QStringLiteral("delta"), QStringLiteral("Zulu")}));
    EXPECT_FALSE(books[0]->managedObjectContext()) << "a deleted record leaves its context once saved";
}

// Each predicate runs once over unsaved records (in memory) and once over
// the same records saved (in SQL); both must give the same answer.
TEST_F(ContextTest, PredicatesAnswerAlikeInMemoryAndInSql)
{
    const struct {
        const char *title; // nullptr: nil
        const char *rootTitle;
    } books[] = {{"One Piece", "Fox"}, {"one punch", "Here"},     {"ONE", "Fox"},    {"Bleach", "Fox"},
                 {"Naruto", nullptr},  {"Ao no Exorcist", "Fox"}, {"Äther", "Here"}, {nullptr, "Fox"}};
    for (const auto &b : books) {
        auto book = appData->createBookWithTitle(QString(), QString());
        book->setTitle(b.title ? QString::fromUtf8(b.title) : QString());
        book->setRootTitle(b.rootTitle ? QString::fromUtf8(b.rootTitle) : QString());
    }
    const QString nil = QStringLiteral("(nil)");
    const struct {
        const char *format;
        std::vector<StoreValue> arguments;
        Titles expected;
    } cases[] = {
        {"title LIKE[c] %@", {QStringLiteral("one")}, {QStringLiteral("ONE")}},
        {"title LIKE[c] %@",
         {QStringLiteral("one*")},
         {QStringLiteral("ONE"), QStringLiteral("One Piece"), QStringLiteral("one punch")}},
        {"title LIKE[c] %@",
         {QStringLiteral("one p????")},
         {QStringLiteral("One Piece"), QStringLiteral("one punch")}},
        {"title LIKE[c] %@", {QStringLiteral("*o*o*")}, {QStringLiteral("Ao no Exorcist")}},
        {"title LIKE[c] %@", {QStringLiteral("?leach")}, {QStringLiteral("Bleach")}},
        {"title LIKE[c] %@",
         {QStringLiteral("*CH")},
         {QStringLiteral("Bleach"), QStringLiteral("one punch")}},
        {"title LIKE[c] %@", {QStringLiteral("äTHER")}, {QStringLiteral("Äther")}},
        {"title LIKE[c] %@", {QStringLiteral("naru")}, {}},
        {"title LIKE %@", {QStringLiteral("one*")}, {QStringLiteral("one punch")}},
        // nil equals only nil: "!=" keeps records without the attribute.
        {"rootTitle != %@",
         {QStringLiteral("Fox")},
         {QStringLiteral("Naruto"), QStringLiteral("one punch"), QStringLiteral("Äther")}},
        {"title == nil", {}, {nil}},
        {"title != nil and rootTitle == 'Fox'",
         {},
         {QStringLiteral("Ao no Exorcist"), QStringLiteral("Bleach"), QStringLiteral("ONE"),
          QStringLiteral("One Piece")}},
        {"title == %@", {qint64(1)}, {}},
        {"title LIKE[c] %@ and rootTitle == %@",
         {QStringLiteral("o*"), QStringLiteral("Here")},
         {QStringLiteral("one punch")}},
    };
    auto check = [&](ManagedObjectContext &in, const char *where) {
        for (const auto &c : cases) {
            const auto predicate = Predicate::predicateWithFormat(QString::fromUtf8(c.format), c.arguments);
            std::optional<Error> error;
            Titles titles;
            for (const auto &book :
                 in.fetch<Book>(FetchRequest(AppData::BookEntityName, predicate), &error)) {
                if (book->title() != AppData::DownloadsBookName)
                    titles.push_back(book->title().isNull() ? nil : book->title());
            }
            EXPECT_FALSE(error) << where << ": " << c.format;
            std::sort(titles.begin(), titles.end());
            Titles expected = c.expected;
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(titles, expected) << where << ": " << c.format;
        }
    };
    // Floating-point attributes against a decimal argument.
    for (double border : {0.1, 0.3})
        appData->createPageWithUrlString(QStringLiteral("http://h/1.jpg"), 1, 10, 10)->setLeftBorder(border);
    auto pagesWithLeftBorder = [&](ManagedObjectContext &in, const char *format, const char *border) {
        const auto predicate = Predicate::predicateWithFormat(
            QString::fromUtf8(format), {Decimal::fromString(QString::fromUtf8(border))});
        return in.fetch<Page>(FetchRequest(AppData::PageEntityName, predicate)).size();
    };
    auto checkBorders = [&](ManagedObjectContext &in, const char *where) {
        EXPECT_EQ(pagesWithLeftBorder(in, "leftBorder == %@", "0.1"), 1u) << where;
        EXPECT_EQ(pagesWithLeftBorder(in, "leftBorder != %@", "0.1"), 1u) << where;
        EXPECT_EQ(pagesWithLeftBorder(in, "leftBorder == %@", "0.30"), 1u) << where;
        EXPECT_EQ(pagesWithLeftBorder(in, "leftBorder == %@", "0.2"), 0u) << where;
    };
    check(*context, "unsaved");
    checkBorders(*context, "unsaved");
    ASSERT_FALSE(appData->save());
    check(*appData->newManagedObjectContext(false), "saved");
    checkBorders(*appData->newManagedObjectContext(false), "saved");
}

TEST_F(ContextTest, MalformedPredicatesFailTheFetch)
{
    const struct {
        const char *entity;
        Predicate predicate;
    } cases[] = {
        {"Book", Predicate::predicateWithFormat(QStringLiteral("title =="))},
        {"Book", Predicate::predicateWithFormat(QStringLiteral("title ~ 'x'"))},
        {"Book", Predicate::predicateWithFormat(QStringLiteral("title == %@"), {})},
        {"Book", Predicate::predicateWithFormat(QStringLiteral("title == 'a' or title == 'b'"))},
        {"Book", Predicate::predicateWithFormat(QStringLiteral("author == 'x'"))},
        {"Book", Predicate::predicateWithFormat(QStringLiteral("title.length == 2"))},
        {"Bookmark", Predicate()},
    };
    for (const auto &c : cases) {
        std::optional<Error> error;
        const auto found =
            context->executeFetchRequest(FetchRequest(QString::fromLatin1(c.entity), c.predicate), &error);
        EXPECT_TRUE(found.empty());
        EXPECT_TRUE(error);
    }
}

TEST_F(ContextTest, DownloadsAreChaptersOfTheDownloadsBook)
{
    const auto downloadsBook = appData->downloadsBook();
    auto library = appData->createBookWithTitle(QStringLiteral("Naruto"), QStringLiteral("Fox"));
    addChapter(library, QStringLiteral("1"), 1);
    const QDateTime start = QDateTime::fromMSecsSinceEpoch(1700000000000, Qt::UTC);
    for (int i = 0; i < 3; ++i) {
        auto download = appData->createDownloadWithRootTitle(
            QStringLiteral("Fox"), i == 1 ? QStringLiteral("Bleach") : QStringLiteral("NARUTO"),
            QStringLiteral("Ch %1").arg(3 - i), QStringLiteral("http://h/%1").arg(i), Decimal(3 - i),
            start.addSecs(i * 60), 20);
        download->setBook(downloadsBook);
    }
    const FetchRequest newestFirst(
        AppData::DownloadEntityName,
        Predicate::predicateWithFormat(QStringLiteral("book.title == %@"), {AppData::DownloadsBookName}),
        {SortDescriptor{QStringLiteral("date"), false}});
    const FetchRequest ofOneManga(
        AppData::DownloadEntityName,
        Predicate::predicateWithFormat(
            QStringLiteral("book.title == %@ and bookTitle LIKE[c] %@ and rootTitle == %@"),
            {AppData::DownloadsBookName, QStringLiteral("naruto"), QStringLiteral("Fox")}),
        {SortDescriptor{QStringLiteral("number")}});
    auto titles = [](const auto &records) {
        Titles out;
        for (const auto &r : records)
            out.push_back(r->title());
        return out;
    };
    auto check = [&](ManagedObjectContext &in) {
        EXPECT_EQ(titles(in.template fetch<Download>(newestFirst)),
                  (Titles{QStringLiteral("Ch 1"), QStringLiteral("Ch 2"), QStringLiteral("Ch 3")}));
        EXPECT_EQ(titles(in.template fetch<Download>(ofOneManga)),
                  (Titles{QStringLiteral("Ch 1"), QStringLiteral("Ch 3")}));
        EXPECT_EQ(in.executeFetchRequest(FetchRequest(AppData::ChapterEntityName)).size(), 4u);
    };
    check(*context);
    ASSERT_FALSE(appData->save());
    auto fresh = appData->newManagedObjectContext(false);
    check(*fresh);
    auto reread = fresh->fetch<Download>(newestFirst);
    ASSERT_EQ(reread.size(), 3u);
    EXPECT_EQ(reread[0]->date(), start.addSecs(120));
    EXPECT_EQ(reread[0]->lastPageRead(), -1);
    EXPECT_EQ(reread[0]->firstPageURL(), QStringLiteral("http://h/2"));
}

TEST_F(ContextTest, ConcurrentBackgroundSavesNeverCollide)
{
    constexpr int kThreads = 4, kBooks = 20, kPages = 10;
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t) {
        workers.emplace_back([this, t] {
            auto own = appData->newManagedObjectContext();
            for (int b = 0; b < kBooks; ++b) {
                auto book = appData->createBookWithTitle(QStringLiteral("T%1 B%2").arg(t).arg(b),
                                                         QStringLiteral("Site"), own.get());
                addChapter(book, QString::number(b), kPages, own.get());
                ASSERT_FALSE(own->save());
            }
        });
    }
    for (auto &worker : workers)
        worker.join();
    pumpEvents();
    EXPECT_EQ(bookTitles(*context).size(), size_t(kThreads * kBooks));
    const auto chapters = context->fetch<Chapter>(FetchRequest(AppData::ChapterEntityName));
    ASSERT_EQ(chapters.size(), size_t(kThreads * kBooks));
    for (const auto &chapter : chapters)
        EXPECT_EQ(PagesData(chapter).count(), kPages);
    EXPECT_TRUE(alerts->isEmpty());
}

TEST_F(ContextTest, ChaptersSortByExactDecimalNumber)
{
    auto book = appData->createBookWithTitle(QStringLiteral("Book"), QStringLiteral("Site"));
    const char *numbers[] = {"10",    "9.5", "100", "2",    "0.5", "20015",
                             "12.50", "0.1", "-2",  "-0.5", "NaN", "-10.25"};
    for (const char *number : numbers)
        addChapter(book, QString::fromLatin1(number), 0);
    Titles expected;
    for (const char *number :
         {"NaN", "-10.25", "-2", "-0.5", "0.1", "0.5", "2", "9.5", "10", "12.5", "100", "20015"})
        expected.push_back(QString::fromLatin1(number));
    const FetchRequest request(AppData::ChapterEntityName,
                               Predicate::comparison(QStringLiteral("book.title"), Predicate::Operator::Equal,
                                                     QStringLiteral("Book")),
                               {SortDescriptor{QStringLiteral("number")}});
    auto numbersOf = [&](ManagedObjectContext &in) {
        Titles out;
        for (const auto &chapter : in.fetch<Chapter>(request))
            out.push_back(chapter->number()->toString());
        return out;
    };
    EXPECT_EQ(numbersOf(*context), expected);
    ASSERT_FALSE(appData->save());
    auto fresh = appData->newManagedObjectContext(false);
    EXPECT_EQ(numbersOf(*fresh), expected);
    // An unsaved rename of the book reaches the chapters through the key path.
    fresh->fetch<Chapter>(request).front()->book()->setTitle(QStringLiteral("Renamed"));
    EXPECT_TRUE(fresh->fetch<Chapter>(request).empty());
    EXPECT_EQ(fresh
                  ->fetch<Chapter>(
                      FetchRequest(AppData::ChapterEntityName,
                                   Predicate::predicateWithFormat(QStringLiteral("book.title == 'Renamed'")),
                                   {SortDescriptor{QStringLiteral("number")}}))
                  .size(),
              expected.size());
    // Exact equality: 12.5 was stored from "12.50" and is found as 12.5.
    const auto found = fresh->fetch<Chapter>(FetchRequest(
        AppData::ChapterEntityName, Predicate::predicateWithFormat(QStringLiteral("number == 12.5"))));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0]->title(), QStringLiteral("12.50"));
}

TEST_F(ContextTest, DeletesCascadeFromBooksToChaptersToPages)
{
    auto doomed = appData->createBookWithTitle(QStringLiteral("Doomed"), QStringLiteral("Site"));
    auto kept = appData->createBookWithTitle(QStringLiteral("Kept"), QStringLiteral("Site"));
    addChapter(doomed, QStringLiteral("1"), 3);
    addChapter(doomed, QStringLiteral("2"), 2);
    auto keptChapter = addChapter(kept, QStringLiteral("1"), 4);
    auto lonePage = addChapter(kept, QStringLiteral("2"), 1);
    ASSERT_FALSE(appData->save());

    context->deleteObject(doomed);
    context->deleteObject(lonePage);
    // Unsaved deletes already hide the dependents.
    EXPECT_EQ(doomed->chapters().size(), 0u);
    EXPECT_EQ(context->executeFetchRequest(FetchRequest(AppData::PageEntityName)).size(), 4u);

    // A chapter saved meanwhile by another context, never read by this one.
    auto background = appData->newManagedObjectContext(false);
    auto doomedThere = background->fetch<Book>(FetchRequest(
        AppData::BookEntityName, Predicate::predicateWithFormat(QStringLiteral("title == 'Doomed'"))));
    ASSERT_EQ(doomedThere.size(), 1u);
    addChapter(doomedThere[0], QStringLiteral("3"), 2, background.get());
    ASSERT_FALSE(background->save());

    ContextDidSaveNotification seen;
    context->addDidSaveObserver(this, [&](const ContextDidSaveNotification &n) { seen = n; });
    ASSERT_FALSE(appData->save());
    EXPECT_EQ(count(AppData::BookEntityName), 2u); // Downloads and Kept
    EXPECT_EQ(count(AppData::ChapterEntityName), 1u);
    EXPECT_EQ(count(AppData::PageEntityName), 4u);
    EXPECT_EQ(keptChapter->pages().size(), 4u);
    EXPECT_EQ(seen.deletedObjects.size(), 1u + 2u + 5u + 1u + 1u)
        << "the cascade this context knew of is listed";
}

TEST_F(ContextTest, ABackgroundSaveIsMergedIntoTheMainContext)
{
    auto book = appData->createBookWithTitle(QStringLiteral("Old"), QStringLiteral("Site"));
    auto doomedChapter = addChapter(book, QStringLiteral("1"), 2);
    ASSERT_FALSE(appData->save());
    book->setRootTitle(QStringLiteral("Edited here")); // unsaved: must survive the merge

    std::thread worker([this] {
        auto background = appData->newManagedObjectContext();
        auto books = background->fetch<Book>(FetchRequest(
            AppData::BookEntityName, Predicate::predicateWithFormat(QStringLiteral("title == 'Old'"))));
        ASSERT_EQ(books.size(), 1u);
        books[0]->setTitle(QStringLiteral("New"));
        books[0]->setRootTitle(QStringLiteral("Edited there"));
        addChapter(books[0], QStringLiteral("2"), 3, background.get());
        for (const auto &chapter : books[0]->chapters()) {
            if (chapter->title() == QStringLiteral("1"))
                background->deleteObject(chapter);
        }
        ASSERT_FALSE(appData->saveInManagedObjectContext(*background));
    });
    worker.join();

    ASSERT_TRUE(pumpEventsUntil([&] { return book->title() == QStringLiteral("New"); }));
    EXPECT_EQ(book->rootTitle(), QStringLiteral("Edited here"));
    EXPECT_FALSE(doomedChapter->managedObjectContext());
    const auto chapters = book->chapters();
    ASSERT_EQ(chapters.size(), 1u);
    EXPECT_EQ(chapters[0]->title(), QStringLiteral("2"));
    EXPECT_EQ(PagesData(chapters[0]).count(), 3);
    EXPECT_TRUE(alerts->isEmpty());
}

TEST_F(ContextTest, AFailedSaveWritesNothingAndKeepsItsChanges)
{
    auto book = appData->createBookWithTitle(QStringLiteral("Book"), QStringLiteral("Site"));
    ASSERT_FALSE(appData->save());

    // Another connection makes the store refuse page 13.
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(storePath().toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TRIGGER refuse BEFORE INSERT ON Page WHEN NEW.number = 13 "
                           "BEGIN SELECT RAISE(ABORT, 'refused'); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    book->setTitle(QStringLiteral("Renamed"));
    addChapter(book, QStringLiteral("1"), 20);
    EXPECT_TRUE(appData->save());
    ASSERT_EQ(alerts->alerts().size(), 1u);
    EXPECT_EQ(alerts->last().title, QStringLiteral("Error in saving data"));
    EXPECT_EQ(count(AppData::PageEntityName), 0u);
    EXPECT_EQ(count(AppData::ChapterEntityName), 0u);
    auto other = appData->newManagedObjectContext(false);
    EXPECT_EQ(bookTitles(*other), Titles{QStringLiteral("Book")});

    ASSERT_EQ(sqlite3_exec(db, "DROP TRIGGER refuse", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    EXPECT_TRUE(context->hasChanges());
    EXPECT_FALSE(appData->save());
    EXPECT_EQ(count(AppData::PageEntityName), 20u);
    other = appData->newManagedObjectContext(false);
    EXPECT_EQ(bookTitles(*other), Titles{QStringLiteral("Renamed")});
}

TEST_F(ContextTest, AKilledProcessLosesNothingAnEarlierSaveStored)
{
    appData.reset();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Saves one book, then saves big chapters until it is killed.
        AppData own;
        own.setup();
        own.createBookWithTitle(QStringLiteral("Kept"), QStringLiteral("Site"));
        own.save();
        auto flag = [&](int i) {
            std::fclose(
                std::fopen((root.path() + QStringLiteral("/saved-%1").arg(i)).toUtf8().constData(), "w"));
        };
        flag(0);
        for (int i = 1;; ++i) {
            auto book = own.createBookWithTitle(QStringLiteral("Busy %1").arg(i), QStringLiteral("Site"));
            auto chapter = own.createChapterWithTitle(QStringLiteral("c"), Decimal(i), 300, true);
            chapter->setBook(book.get());
            for (int p = 0; p < 300; ++p)
                own.createPageWithUrlString(QStringLiteral("http://h/%1.png").arg(p), p, 1, 1)
                    ->setChapter(chapter.get());
            own.save();
            flag(i);
        }
    }
    // Once it has saved twice more it spends nearly all its time saving.
    ASSERT_TRUE(pumpEventsUntil([&] { return QFileInfo::exists(root.path() + QStringLiteral("/saved-2")); }));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));

    appData = start();
    auto books = appData->managedObjectContext()->fetch<Book>(FetchRequest(
        AppData::BookEntityName, Predicate::predicateWithFormat(QStringLiteral("title == 'Kept'"))));
    EXPECT_EQ(books.size(), 1u);
    // Every saved chapter is whole: a save is all or nothing.
    auto fresh = appData->newManagedObjectContext(false);
    for (const auto &chapter : fresh->fetch<Chapter>(FetchRequest(AppData::ChapterEntityName)))
        EXPECT_EQ(chapter->pages().size(), 300u);
    EXPECT_TRUE(alerts->isEmpty());
}

} // namespace
