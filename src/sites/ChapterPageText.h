#pragma once

#include <QString>

#include "sites/NavChapter.h"

// Small text rules shared by the chapter-list and latest-release page
// parsers. Thread contract: pure functions, any thread.
namespace ChapterPageText {

// The three references the sites put into titles: "&#39;", "&quot;", "&amp;"
// (in that order, so "&amp;quot;" becomes "&quot;" and not a quote).
QString cleaned(const QString &text);

// A detail value gathered run by run: a run that is a lone comma keeps the
// space after it that trimming took away.
void appendInfoRun(QString &info, const QString &trimmedRun);

// A chapter whose label and sort number come from the chapter address, read
// by the URL parser of the given site key.
NavChapter chapterFromURL(const QString &siteKey, const QString &urlString);

} // namespace ChapterPageText
