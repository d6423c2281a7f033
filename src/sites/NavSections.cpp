#include "sites/NavSections.h"

void NavSections::addSearch(const QString &label, const QString &url)
{
    NavSection s{label, url};
    s.useBooksSearch = true;
    sections_.push_back(s);
}

void NavSections::addIndexed(const QString &label, const QString &url)
{
    NavSection s{label, url};
    s.useSectionKey = true;
    sections_.push_back(s);
}

void NavSections::addFiltered(const QString &label, const QString &url)
{
    NavSection s{label, url};
    s.doSectionFilter = true;
    sections_.push_back(s);
}
