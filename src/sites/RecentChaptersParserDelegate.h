#pragma once

#include <optional>

#include <QList>
#include <QString>
#include <QStringList>

#include "sites/NavBook.h"
#include "sites/NavChapter.h"
#include "web/HyperParserDelegate.h"

// Base of the latest-release page parsers. Collects four parallel lists
// (chapter, book, date, label of each release) from the releases block,
// which opens at a site-specific tag and ends at the end tag matching it
// (the blocks nest tags of their own name, so the nesting is counted).
// Inside it a link is tested first as a chapter link, then as a book link;
// any other start tag as a date cell. Plain data: fed one page on one
// thread, read afterwards.
class RecentChaptersParserDelegate : public HyperParserDelegate
{
public:
    const QList<NavChapter> &navChapters() const { return navChapters_; }
    const QList<NavBook> &navBooks() const { return navBooks_; }
    const QStringList &dates() const { return dates_; }
    const QStringList &labels() const { return labels_; }

    void foundCharacters(HyperParser &parser, QStringView text) override;
    void didStartElement(HyperParser &parser, QStringView name, const HyperAttributes &attributes) override;
    void didEndElement(HyperParser &parser, QStringView name) override;

protected:
    virtual bool opensSection(QStringView name, const HyperAttributes &attributes) const = 0;
    virtual bool isChapterLink(const HyperAttributes &attributes) const = 0;
    virtual bool isBookLink(const HyperAttributes &attributes) const = 0;
    virtual bool isDateCell(QStringView name, const HyperAttributes &attributes) const = 0;
    // A text run inside the releases block.
    virtual void sectionText(const QString &text) = 0;
    virtual void sectionEnd(QStringView name) { Q_UNUSED(name); }
    virtual void sectionStart(QStringView name) { Q_UNUSED(name); }

    // Appends one release. A release without a book or a date in force
    // leaves the lists unequal, which fails the page as a whole: a list that
    // pairs chapters with the wrong books would be worse than none.
    void addRelease(const NavChapter &chapter, const QString &label);
    // The run rules of the sites whose rows read book, date, then chapters:
    // a pending book link takes bookTitle (the run as the site wants it
    // shown), a pending chapter link becomes a release read by the site's
    // chapterFromURL, and a pending date cell sets the date in force.
    void bookChapterDateRun(const QString &text, const QString &bookTitle,
                            NavChapter (*chapterFromURL)(const QString &urlString));

    bool isSectionTag(QStringView name) const;

    QList<NavChapter> navChapters_;
    QList<NavBook> navBooks_;
    QStringList dates_;
    QStringList labels_;
    // Where the parser stands: before, inside or after the releases block.
    enum class Section { Ahead, Inside, Done } section_ = Section::Ahead;
    QString sectionTag_;   // the name of the tag that opened the block
    int sectionDepth_ = 0; // open tags of that name, the block's own included
    QString currentHRef_;
    QString currentDate_; // null until a date cell has been read
    bool isBookLink_ = false;
    bool isChapterLink_ = false;
    bool isDateColumn_ = false;
    std::optional<NavBook> currentNavBook_;
};
