#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include "demo/DemoCatalogue.h"
#include "sites/BooksParserDelegate.h"
#include "sites/LicensedBooksFilter.h"
#include "sites/LicensedGenreBooksFilter.h"
#include "sites/LicensedRecentChaptersFilter.h"
#include "catalogue/SiteRegistry.h"
#include "foundation/StringHelpers.h"

namespace {

// The filter as it was first written, straightforward and slow: every phrase
// lower-cases the title again. The fast one must answer exactly as it does.
class ReferenceFilter
{
public:
    explicit ReferenceFilter(QSet<QString> table) : table_(std::move(table)) {}
    bool isLicensed(const QString &title) const
    {
        const QString t = TrimBlanks(title);
        if (table_.contains(t.toLower()))
            return true;
        for (const QString &phrase : LicensedFilter::licensedPhrases())
            if (contains(t, phrase))
                return true;
        return t == u"nana";
    }

private:
    QSet<QString> table_;
};

void expectSameAnswers(const QStringList &titles, const QStringList &allowed = {})
{
    const LicensedFilter fast(allowed);
    const ReferenceFilter reference(fast.licensedTitles());
    for (const QString &title : titles)
        ASSERT_EQ(fast.isLicensed(title), reference.isLicensed(title)) << title.toStdString();
}

QList<NavBook> books(std::initializer_list<const char *> titles)
{
    QList<NavBook> list;
    for (const char *t : titles)
        list.append(NavBook(QString::fromUtf8(t), QStringLiteral("http://x/") + QString::fromUtf8(t)));
    return list;
}

QStringList titles(const QList<NavBook> &list)
{
    QStringList out;
    for (const auto &b : list)
        out << b.title();
    return out;
}

TEST(LicensedFilterTest, TableHoldsEveryTitleAndTheOddKey)
{
    EXPECT_EQ(LicensedFilter::defaultTitles().size(), 683);
    LicensedFilter f;
    EXPECT_TRUE(f.isLicensed(QStringLiteral("I\"S")));
    EXPECT_TRUE(f.isLicensed(QStringLiteral("i''s")));
    EXPECT_TRUE(f.isLicensed(QStringLiteral("Wolf&#039;s Rain")));
    EXPECT_TRUE(f.isLicensed(QStringLiteral("blood+ a")));
    EXPECT_TRUE(f.isLicensed(QStringLiteral("Bleach")));
}

TEST(LicensedFilterTest, Rules)
{
    struct Case {
        const char *title;
        bool licensed;
    } cases[] = {
        {"BLEACH", true},               // case folds
        {" \tNaruto\t ", true},         // spaces and tabs trimmed
        {"Naruto\n", false},            // line breaks are not blanks
        {"Naruto Gaiden", false},       // table titles match whole
        {"The Blue Dragon Saga", true}, // phrase inside a longer name
        {"POKEMON Zensho", true},       // phrase ignores case
        {"Reservoir Chronicle TSUBASA", true},
        {"Fushigi Yuugi Byakko Senki", true},
        {"Higurashi no Naku Koro ni Kai", true},
        {"nana", true},
        {"Nana", true}, // through the table
        {"nana to kaoru", false},
        {"Kissxsis", false}, // only the genre table has it
        {"", false},
    };
    LicensedFilter f;
    for (const auto &c : cases)
        EXPECT_EQ(f.isLicensed(QString::fromUtf8(c.title)), c.licensed) << c.title;
}

TEST(LicensedFilterTest, AllowedTitlesOnlyLeaveTheTable)
{
    LicensedFilter f({QStringLiteral("NANA"), QStringLiteral("Vampire Knight"), QStringLiteral("Bleach")});
    EXPECT_FALSE(f.isLicensed(QStringLiteral("Bleach")));
    EXPECT_FALSE(f.isLicensed(QStringLiteral("Nana")));          // table entry gone
    EXPECT_TRUE(f.isLicensed(QStringLiteral("nana")));           // the exact-case rule stays
    EXPECT_TRUE(f.isLicensed(QStringLiteral("Vampire Knight"))); // phrases stay
    EXPECT_TRUE(f.isLicensed(QStringLiteral("Naruto")));
}

TEST(LicensedFilterTest, BookAndGenreFilters)
{
    const auto list =
        books({"Bleach", "Kissxsis", "Ane Doki", "No Bra", "Pokemon Special", " Nana ", "Toradora"});
    LicensedBooksFilter plain(list);
    EXPECT_EQ(titles(plain.filteredNavBooks()),
              (QStringList{QStringLiteral("Kissxsis"), QStringLiteral("Ane Doki"), QStringLiteral("No Bra"),
                           QStringLiteral("Toradora")}));
    LicensedGenreBooksFilter genre(plain.filteredNavBooks());
    EXPECT_EQ(titles(genre.filteredNavBooks()),
              (QStringList{QStringLiteral("Ane Doki"), QStringLiteral("Toradora")}));
    // The genre table replaces the built-in one but the phrases still apply.
    LicensedGenreBooksFilter genreOnly(books({"Bleach", "Pokemon Adventures"}));
    EXPECT_EQ(titles(genreOnly.filteredNavBooks()), QStringList{QStringLiteral("Bleach")});
    EXPECT_TRUE(LicensedBooksFilter({}).filteredNavBooks().isEmpty());
}

TEST(LicensedFilterTest, RecentChaptersDropWholeIndicesAndSpareFavourites)
{
    const auto list = books({"Bleach", "One Punch", "Vampire Knight", "Naruto"});
    const QList<int> chapters{1, 2, 3, 4};
    const QStringList dates{QStringLiteral("d1"), QStringLiteral("d2"), QStringLiteral("d3"),
                            QStringLiteral("d4")};
    const QStringList labels{QStringLiteral("l1"), QStringLiteral("l2"), QStringLiteral("l3"),
                             QStringLiteral("l4")};
    LicensedRecentChaptersFilter<int> f(list, chapters, dates, labels,
                                        {QStringLiteral("Bleach"), QStringLiteral("Vampire Knight")});
    EXPECT_EQ(titles(f.filteredNavBooks()),
              (QStringList{QStringLiteral("Bleach"), QStringLiteral("One Punch")}));
    EXPECT_EQ(f.filteredNavChapters(), (QList<int>{1, 2}));
    EXPECT_EQ(f.filteredDates(), (QStringList{QStringLiteral("d1"), QStringLiteral("d2")}));
    EXPECT_EQ(f.filteredLabels(), (QStringList{QStringLiteral("l1"), QStringLiteral("l2")}));

    // Short parallel lists never read out of bounds.
    LicensedRecentChaptersFilter<int> shortLists(list, {7}, {}, {});
    EXPECT_EQ(shortLists.filteredNavBooks().size(), 1);
    EXPECT_EQ(shortLists.filteredNavChapters(), QList<int>{});
}

} // namespace

namespace {

// Every phrase at the start, middle and end of a title, in several cases,
// with blanks around and odd characters beside it; table titles likewise.
QStringList generatedTitles()
{
    QStringList out;
    QStringList words = LicensedFilter::licensedPhrases();
    for (const QString &t : LicensedFilter::defaultTitles())
        words << t;
    words << QStringLiteral("nana") << QStringLiteral("Nana") << QStringLiteral("NANA");
    const auto cases = [](const QString &w) {
        QString alternating = w;
        for (qsizetype i = 0; i < alternating.size(); i += 2)
            alternating[i] = alternating[i].toUpper();
        return QStringList{w, w.toUpper(), alternating, w.left(1).toUpper() + w.mid(1)};
    };
    const QString around[][2] = {{{}, {}},
                                 {QStringLiteral(" \t"), QStringLiteral("\t ")},
                                 {QStringLiteral("Prefix "), {}},
                                 {{}, QStringLiteral(" Suffix")},
                                 {QStringLiteral("x"), QStringLiteral("y")},
                                 {QStringLiteral("Über "), QStringLiteral(" Été")},
                                 {QStringLiteral("\n"), {}},
                                 {QStringLiteral("İ"), QStringLiteral("K")}}; // Kelvin sign
    for (const QString &word : words)
        for (const QString &w : cases(word))
            for (const auto &[before, after] : around)
                out << before + w + after;
    // Near misses: a phrase cut short at either end.
    for (const QString &phrase : LicensedFilter::licensedPhrases())
        out << phrase.chopped(1) << phrase.mid(1) << phrase.chopped(1) + QStringLiteral("Z");
    out << QString() << QStringLiteral(" ") << QString(300, u'a') + QStringLiteral("tsubasa");
    return out;
}

} // namespace

TEST(LicensedFilterTest, AnswersAsTheReferenceDoes)
{
    const QStringList generated = generatedTitles();
    expectSameAnswers(generated);
    expectSameAnswers(generated,
                      {QStringLiteral("NANA"), QStringLiteral("Bleach"), QStringLiteral("Tsubasa")});

    QStringList demo;
    int licensed = 0;
    const LicensedFilter filter;
    const DemoCatalogue catalogue(1);
    for (const DemoBook &book : catalogue.books()) {
        demo << book.title;
        licensed += book.licensed;
        EXPECT_EQ(filter.isLicensed(book.title), book.licensed) << book.title.toStdString();
    }
    EXPECT_GT(licensed, 0);
    expectSameAnswers(demo);
}

TEST(LicensedFilterTest, AnswersAsTheReferenceDoesOnSavedPages)
{
    const QString env = qEnvironmentVariable("YOMORA_REAL_PAGES_DIR");
    const QDir dir(env.isEmpty() ? QStringLiteral(YOMORA_REAL_PAGES_DIR) : env);
    if (!dir.exists())
        GTEST_SKIP() << "no real pages at " << dir.path().toStdString();
    QStringList titles;
    const std::pair<const char *, const char *> lists[] = {
        {"mangareader/clone-mangapanda-mangas.html", "mangareader"},
        {"mangahere/search-1.html", "mangahere"},
    };
    for (const auto &[name, parserName] : lists) {
        QFile file(dir.filePath(QString::fromUtf8(name)));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        auto parser = SiteRegistry::booksParserNamed(QString::fromUtf8(parserName));
        ASSERT_TRUE(parser) << parserName;
        parser->parsePage(QString::fromUtf8(file.readAll()));
        for (const NavBook &book : parser->navBooks())
            titles << book.title();
    }
    EXPECT_FALSE(titles.isEmpty());
    expectSameAnswers(titles);
}
