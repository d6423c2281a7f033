#include "sites/RecentChaptersParserDelegate.h"

#include "sites/ChapterPageText.h"

void RecentChaptersParserDelegate::foundCharacters(HyperParser &, QStringView text)
{
    if (foundSection_)
        sectionText(text.toString());
}

void RecentChaptersParserDelegate::didStartElement(HyperParser &, QStringView name,
                                                   const HyperAttributes &attributes)
{
    if (!foundSection_) {
        foundSection_ = opensSection(name, attributes);
        return;
    }
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
    if (!foundSection_)
        return;
    sectionEnd(name);
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
