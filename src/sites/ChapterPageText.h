#pragma once

#include <QString>

#include "sites/NavChapter.h"
#include "web/URLParser.h"

// Small text rules shared by the chapter-list and latest-release page
// parsers. Thread contract: pure functions, any thread.
namespace ChapterPageText {

// The three references the sites put into titles: "&#39;", "&quot;", "&amp;"
// (in that order, so "&amp;quot;" becomes "&quot;" and not a quote).
QString cleaned(const QString &text);

// A detail value gathered run by run: a run that is a lone comma keeps the
// space after it that trimming took away.
void appendInfoRun(QString &info, const QString &trimmedRun);

// A chapter whose label and sort number come from the chapter address, as
// the site's URL parser reads it.
NavChapter chapterFromURL(const URLParser &parser);
template <class SiteURLParser> NavChapter chapterFromURL(const QString &urlString)
{
    return chapterFromURL(*URLParser::create<SiteURLParser>(urlString));
}

} // namespace ChapterPageText
