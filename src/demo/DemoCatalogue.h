#pragma once

#include <cstdint>
#include <vector>

#include <QString>
#include <QStringList>

class DemoRandom;

struct DemoChapter {
    int volume = 0; // 0: the book is not split into volumes
    QString number; // "7" or "7.5"
    QString name;   // may be empty
    int pages = 0;
    int daysAgo = 0; // release day, counted back from the catalogue's "today"
    bool png = false;
    // The odd chapters a newcomer should meet: one page answers 404 until
    // the site is repaired, the first page carries the mature-content
    // notice, or every image is delayed.
    int missingPage = 0;
    bool mature = false;
    bool slow = false;
};

struct DemoBook {
    QString title;
    QString author;
    QString artist;
    QString status;
    QString summary;
    QString licenseNote; // empty for most books
    QStringList genres;
    int rank = 0; // 1 is the most popular
    int year = 0;
    bool licensed = false;             // taken from the built-in licensed-title list
    std::vector<DemoChapter> chapters; // oldest first
};

struct DemoRelease {
    int book;
    int chapter;
};

// A made-up manga catalogue, the same for every site layout and the same
// for every run with the same seed. Immutable once built, so any thread
// may read it.
class DemoCatalogue
{
public:
    explicit DemoCatalogue(std::uint64_t seed);

    std::uint64_t seed() const { return seed_; }
    const std::vector<DemoBook> &books() const { return books_; }
    const DemoBook &book(int index) const { return books_[size_t(index)]; }

    // Genre names as the sites' section tables label them ("Sci Fi").
    const QStringList &genres() const { return genres_; }

    // Book indices: by title, by rank, of one genre by rank (a genre the
    // catalogue does not know gives nothing), and titles containing the text.
    std::vector<int> byTitle() const;
    std::vector<int> byRank() const;
    std::vector<int> inGenre(const QString &genre) const;
    std::vector<int> search(const QString &text) const;

    // The releases of the last two weeks, newest first.
    std::vector<DemoRelease> latest() const;

    // Release dates as the sites wrote them: "Today", "Yesterday", then
    // "Nov 28, 2026" (long) or "11/28/2026" (numeric).
    static QString dateText(int daysAgo, bool numeric = false);

    // Where the special chapters are.
    DemoRelease missingPageChapter() const { return missingPage_; }
    DemoRelease matureChapter() const { return mature_; }
    DemoRelease slowChapter() const { return slow_; }
    int licenseNoteBook() const { return licenseNote_; }

    // "Some Title" -> "some_title" ('_' or '-' between words, case kept or not).
    static QString slug(const QString &title, QChar separator, bool keepCase = false);

private:
    void addBook(DemoBook book, DemoRandom &random);

    std::uint64_t seed_;
    std::vector<DemoBook> books_;
    QStringList genres_;
    DemoRelease missingPage_{};
    DemoRelease mature_{};
    DemoRelease slow_{};
    int licenseNote_ = 0;
};
