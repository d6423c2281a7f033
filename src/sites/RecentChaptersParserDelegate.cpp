#include "sites/RecentChaptersParserDelegate.h"

#include "sites/ChapterPageText.h"

void RecentChaptersParserDelegate::foundCharacters(HyperParser &, QStringView text)
{
    if (section_ == Section::Inside)
        sectionText(text.toString());
}

void RecentChaptersParserDelegate::didStartElement(HyperParser &, QStringView name,
                                                   const HyperAttributes &attributes)
{
    if (section_ != Section::Inside) {
        if (section_ == Section::Ahead && opensSection(name, attributes)) {
            section_ = Section::Inside;
            sectionTag_ = name.toString();
            sectionDepth_ = 1;
        }
        return;
    }
    if (isSectionTag(name))
        ++sectionDepth_;
    if (name == u"a") {
        if (isChapterLink(attributes)) {
            currentHRef_ = attributes.value("href");
            isChapterLink_ = true;
        } else if (isBookLink(attributes)) {
            isBookLink_ = true;
        }
    } else if (isDateCell(name, attributes)) {
        isDateColumn_ = true;
    }
    sectionStart(name);
}

void RecentChaptersParserDelegate::didEndElement(HyperParser &, QStringView name)
{
    if (section_ != Section::Inside)
        return;
    sectionEnd(name);
    // What follows the block (a sidebar, the footer) links to chapters of
    // other books: taken as releases, they would be filed under the block's
    // last book and tested against the licence list under its title.
    if (isSectionTag(name) && --sectionDepth_ == 0) {
        section_ = Section::Done;
    }
}

bool RecentChaptersParserDelegate::isSectionTag(QStringView name) const
{
    return name.compare(sectionTag_, Qt::CaseInsensitive) == 0;
}

void RecentChaptersParserDelegate::addRelease(const NavChapter &chapter, const QString &label)
{
    navChapters_.append(chapter);
    if (currentNavBook_)
        navBooks_.append(*currentNavBook_);
    if (!currentDate_.isNull())
        dates_.append(currentDate_);
    labels_.append(label);
}

void RecentChaptersParserDelegate::bookChapterDateRun(const QString &text, const QString &bookTitle,
                                                      NavChapter (*chapterFromURL)(const QString &))
{
    if (isBookLink_) {
        currentNavBook_ = NavBook(bookTitle, QString());
        isBookLink_ = false;
    }
    if (isChapterLink_) {
        addRelease(chapterFromURL(currentHRef_), QStringLiteral(""));
        currentHRef_.clear();
        isChapterLink_ = false;
    }
    if (isDateColumn_) {
        currentDate_ = text.trimmed();
        isDateColumn_ = false;
    }
}
