#include "demo/DemoCatalogue.h"

#include <algorithm>
#include <set>

#include <QDate>

#include "demo/DemoRandom.h"
#include "sites/LicensedFilter.h"
#include "sites/LicensedTitles.h"
#include "sites/mangafox/MangaFoxSections.h"
#include "sites/mangahere/MangaHereSections.h"
#include "sites/mangareader/MangaReaderSections.h"

namespace {

const char *const kAdjectives[] = {"Crimson", "Silent",  "Paper",   "Hollow",    "Seventh",   "Gentle",
                                   "Iron",    "Lantern", "Frozen",  "Velvet",    "Wandering", "Midnight",
                                   "Copper",  "Quiet",   "Falling", "Hidden",    "Northern",  "Little",
                                   "Golden",  "Broken",  "Salt",    "Clockwork", "Distant",   "Pale"};
const char *const kNouns[] = {"Harbor",  "Lantern",    "Garden",   "Orchard",  "Station",  "Kite",
                              "Bakery",  "Comet",      "Tide",     "Festival", "Library",  "Shrine",
                              "Rooftop", "Ferry",      "Meadow",   "Sparrow",  "Forge",    "Archive",
                              "Tram",    "Lighthouse", "Umbrella", "Glacier",  "Teahouse", "Violin"};
const char *const kNames[] = {"Mika", "Sora", "Hana", "Ren", "Aoi", "Kaito", "Yuki", "Nao", "Toma", "Rin"};
const char *const kFamily[] = {"Aoyama",  "Kurose",   "Minami", "Tachibana", "Hoshino",
                               "Sakurai", "Fujimoto", "Ishida", "Mori",      "Takeda"};
const char *const kPhrases[] = {"The First Snow",   "A Letter Home", "Closing Time",       "Night Market",
                                "Under the Bridge", "Second Chance", "The Long Way Round", "Rain Check",
                                "Old Friends",      "Departure"};

template <size_t N> QString pick(const char *const (&words)[N], DemoRandom &random)
{
    return QString::fromLatin1(words[random.range(0, int(N) - 1)]);
}

QString madeUpTitle(DemoRandom &random)
{
    switch (random.range(0, 3)) {
    case 0:
        return pick(kAdjectives, random) + u' ' + pick(kNouns, random);
    case 1:
        return QStringLiteral("The ") + pick(kNouns, random) + QStringLiteral(" of ") +
               pick(kAdjectives, random) + u' ' + pick(kNouns, random);
    case 2:
        return pick(kNames, random) + QStringLiteral("'s ") + pick(kAdjectives, random) + u' ' +
               pick(kNouns, random);
    default:
        return QStringLiteral("My ") + pick(kAdjectives, random) + u' ' + pick(kNouns, random);
    }
}

QString titleCase(const QString &lower)
{
    QString text = lower;
    bool start = true;
    for (QChar &c : text) {
        if (start && c.isLetter())
            c = c.toUpper();
        start = c.isSpace();
    }
    return text;
}

QStringList sectionGenres()
{
    QStringList genres;
    const MangaFoxSections fox;
    const MangaReaderSections reader;
    const MangaHereSections here;
    for (const NavSections *table :
         {static_cast<const NavSections *>(&fox), static_cast<const NavSections *>(&reader),
          static_cast<const NavSections *>(&here)})
        for (const NavSection &section : table->sections())
            if (section.labelKey.startsWith(u"Popular ")) {
                const QString genre = section.labelKey.mid(8);
                if (!genres.contains(genre))
                    genres << genre;
            }
    return genres;
}

} // namespace

DemoCatalogue::DemoCatalogue(std::uint64_t seed) : seed_(seed), genres_(sectionGenres())
{
    DemoRandom random(seed, {1});
    const LicensedFilter filter;
    std::set<QString> taken;

    // About forty made-up titles, none of them licensed and none carrying
    // words that the sites' parsers give a meaning ("Chapter").
    while (books_.size() < 40) {
        const QString title = madeUpTitle(random);
        if (taken.count(title.toLower()) || filter.isLicensed(title) || title.contains(u"Chapter"))
            continue;
        taken.insert(title.toLower());
        DemoBook book;
        book.title = title;
        addBook(std::move(book), random);
    }
    // A few licensed ones, which the lists must hide.
    for (int i = 0; i < 3; ++i) {
        const QString title = titleCase(
            QString::fromUtf16(kLicensedTitles[size_t(random.range(0, int(kLicensedTitles.size()) - 1))]));
        const bool plain =
            std::all_of(title.begin(), title.end(), [](QChar c) { return c.isLetter() || c == u' '; });
        if (taken.count(title.toLower()) || !filter.isLicensed(title) || !plain || title.size() < 4) {
            --i;
            continue;
        }
        taken.insert(title.toLower());
        DemoBook book;
        book.title = title;
        book.licensed = true;
        addBook(std::move(book), random);
    }

    // Every genre row of every site shows at least one book.
    for (int g = 0; g < genres_.size(); ++g) {
        DemoBook &book = books_[size_t(g) % 40];
        if (!book.genres.contains(genres_[g]))
            book.genres << genres_[g];
    }

    // Ranks: a permutation, so that "popular" differs from "by title".
    std::vector<int> order(books_.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    for (size_t i = order.size() - 1; i > 0; --i)
        std::swap(order[i], order[size_t(random.range(0, int(i)))]);
    for (size_t i = 0; i < order.size(); ++i)
        books_[size_t(order[i])].rank = int(i) + 1;

    // The special chapters sit in the first three books, released today so
    // that they head the latest releases.
    auto special = [this](int bookIndex) -> DemoChapter & {
        DemoChapter &chapter = books_[size_t(bookIndex)].chapters.back();
        chapter.daysAgo = 0;
        return chapter;
    };
    DemoChapter &missing = special(0);
    missing.pages = std::max(missing.pages, 8);
    missing.missingPage = 4; // neither among the pages a deduction probes nor the last one
    missingPage_ = {0, int(books_[0].chapters.size()) - 1};
    special(1).mature = true;
    mature_ = {1, int(books_[1].chapters.size()) - 1};
    DemoChapter &slow = special(2);
    slow.slow = true;
    slow.pages = std::min(slow.pages, 6);
    slow_ = {2, int(books_[2].chapters.size()) - 1};
    licenseNote_ = 3;
    books_[3].licenseNote = QStringLiteral("This series has been licensed in your region. "
                                           "Please support the publisher.");
}

void DemoCatalogue::addBook(DemoBook book, DemoRandom &random)
{
    book.author = pick(kFamily, random) + u' ' + pick(kNames, random);
    book.artist = random.chance(0.6) ? book.author : pick(kFamily, random) + u' ' + pick(kNames, random);
    book.status = random.chance(0.7) ? QStringLiteral("Ongoing") : QStringLiteral("Completed");
    book.year = random.range(1998, 2012);
    const int genreCount = random.range(1, 3);
    for (int i = 0; i < genreCount; ++i) {
        const QString genre = genres_[random.range(0, int(genres_.size()) - 1)];
        if (!book.genres.contains(genre))
            book.genres << genre;
    }
    book.summary = QStringLiteral("%1 follows %2 through one long year at the %3. "
                                  "A quiet story about small victories, drawn for this demo.")
                       .arg(book.title, pick(kNames, random), pick(kNouns, random).toLower());

    const bool volumes = random.chance(0.5);
    const int count = random.range(3, 12);
    const int halfAfter = random.chance(0.3) ? random.range(1, count - 1) : -1;
    int daysAgo = random.range(0, 20) + 7 * (count - 1);
    for (int n = 1; n <= count; ++n) {
        for (int half = 0; half < (n == halfAfter ? 2 : 1); ++half) {
            DemoChapter chapter;
            chapter.number = half ? QStringLiteral("%1.5").arg(n) : QString::number(n);
            chapter.volume = volumes ? (n - 1) / 4 + 1 : 0;
            if (random.chance(0.5))
                chapter.name = pick(kPhrases, random);
            chapter.pages = random.range(4, 12);
            chapter.png = random.chance(0.25);
            chapter.daysAgo = std::max(0, daysAgo);
            daysAgo -= half ? 0 : 7;
            book.chapters.push_back(std::move(chapter));
        }
    }
    books_.push_back(std::move(book));
}

std::vector<int> DemoCatalogue::byTitle() const
{
    std::vector<int> indices(books_.size());
    for (size_t i = 0; i < indices.size(); ++i)
        indices[i] = int(i);
    std::sort(indices.begin(), indices.end(), [this](int a, int b) {
        return books_[size_t(a)].title.compare(books_[size_t(b)].title, Qt::CaseInsensitive) < 0;
    });
    return indices;
}

std::vector<int> DemoCatalogue::byRank() const
{
    std::vector<int> indices = byTitle();
    std::sort(indices.begin(), indices.end(),
              [this](int a, int b) { return books_[size_t(a)].rank < books_[size_t(b)].rank; });
    return indices;
}

std::vector<int> DemoCatalogue::inGenre(const QString &genre) const
{
    std::vector<int> indices;
    for (int index : byRank())
        if (books_[size_t(index)].genres.contains(genre, Qt::CaseInsensitive))
            indices.push_back(index);
    return indices;
}

std::vector<int> DemoCatalogue::search(const QString &text) const
{
    std::vector<int> indices;
    const QString wanted = text.simplified();
    for (int index : byTitle())
        if (books_[size_t(index)].title.contains(wanted, Qt::CaseInsensitive))
            indices.push_back(index);
    return indices;
}

std::vector<DemoRelease> DemoCatalogue::latest() const
{
    std::vector<DemoRelease> releases;
    for (int b = 0; b < int(books_.size()); ++b)
        for (int c = int(books_[size_t(b)].chapters.size()) - 1; c >= 0; --c)
            if (books_[size_t(b)].chapters[size_t(c)].daysAgo < 14)
                releases.push_back({b, c});
    std::stable_sort(releases.begin(), releases.end(), [this](const DemoRelease &x, const DemoRelease &y) {
        return books_[size_t(x.book)].chapters[size_t(x.chapter)].daysAgo <
               books_[size_t(y.book)].chapters[size_t(y.chapter)].daysAgo;
    });
    return releases;
}

QString DemoCatalogue::dateText(int daysAgo, bool numeric)
{
    if (daysAgo == 0)
        return QStringLiteral("Today");
    if (daysAgo == 1)
        return QStringLiteral("Yesterday");
    // A fixed "today", so that pages do not change from one day to the next.
    const QDate date = QDate(2026, 12, 1).addDays(-daysAgo);
    if (numeric)
        return date.toString(QStringLiteral("MM/dd/yyyy"));
    static const char *const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return QStringLiteral("%1 %2, %3")
        .arg(QLatin1String(months[date.month() - 1]))
        .arg(date.day())
        .arg(date.year());
}

QString DemoCatalogue::slug(const QString &title, QChar separator, bool keepCase)
{
    QString slug;
    bool pendingSeparator = false;
    for (QChar c : title) {
        if (c.isLetterOrNumber()) {
            if (pendingSeparator && !slug.isEmpty())
                slug += separator;
            pendingSeparator = false;
            slug += keepCase ? c : c.toLower();
        } else {
            pendingSeparator = true;
        }
    }
    return slug;
}
