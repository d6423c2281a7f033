#include "sites/onemanga/RecentChaptersParserDelegateOneManga.h"

#include "sites/ChapterPageText.h"
#include "foundation/Regex.h"
#include "sites/onemanga/URLParserOneManga.h"

bool RecentChaptersParserDelegateOneManga::opensSection(QStringView name,
                                                        const HyperAttributes &attributes) const
{
    return name == u"table" && attributes.value("class") == u"ch-table";
}

bool RecentChaptersParserDelegateOneManga::isChapterLink(const HyperAttributes &) const
{
    return true;
}

bool RecentChaptersParserDelegateOneManga::isBookLink(const HyperAttributes &) const
{
    return false; // the book is named by the chapter link's text
}

bool RecentChaptersParserDelegateOneManga::isDateCell(QStringView name,
                                                      const HyperAttributes &attributes) const
{
    const QString cls = attributes.value("class");
    return name == u"td" && (cls == u"ch-date-recent" || cls == u"ch-date");
}

void RecentChaptersParserDelegateOneManga::sectionStart(QStringView name)
{
    if (name == u"tr")
        inRow_ = true;
}

void RecentChaptersParserDelegateOneManga::sectionEnd(QStringView name)
{
    // A link or date cell left without text must not carry over into the
    // next row.
    if (name == u"tr" && inRow_) {
        inRow_ = false;
        isChapterLink_ = false;
        isDateColumn_ = false;
        currentHRef_.clear();
    }
}

void RecentChaptersParserDelegateOneManga::sectionText(const QString &text)
{
    if (isDateColumn_ && !text.isEmpty()) {
        currentDate_ = text;
        isDateColumn_ = false;
        return;
    }
    if (!isChapterLink_)
        return;
    const QStringList parts =
        captureComponentsMatchedByRegex(text, QStringLiteral("(.+?)\\sChapter\\s(.+)$"));
    if (parts.size() == 3) {
        const QString bookTitle = QString(parts[1])
                                      .replace(QStringLiteral("&#39;"), QStringLiteral("'"))
                                      .replace(QStringLiteral("&quot;"), QStringLiteral("\""));
        QString chapterPart = parts[2];
        if (chapterPart.contains(u'-')) {
            // A range "12 - 14" names its first chapter.
            const QStringList range =
                captureComponentsMatchedByRegex(chapterPart, QStringLiteral("([^\\s]+)\\s-\\s([^\\s]+)$"));
            if (range.size() == 3)
                chapterPart = range[1];
        }
        const NavChapter parsed = ChapterPageText::chapterFromURL<URLParserOneManga>(currentHRef_);
        currentNavBook_ = NavBook(bookTitle, QString());
        addRelease(NavChapter(parts[1] + u' ' + chapterPart, currentHRef_, parsed.number()), text);
    }
    currentHRef_.clear();
    isChapterLink_ = false;
}
