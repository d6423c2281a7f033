#include "sites/LicensedFilter.h"

#include "sites/LicensedTitles.h"
#include "sites/NavBook.h"
#include "web/StringHelpers.h"

const QSet<QString> &LicensedFilter::defaultTitles()
{
    static const QSet<QString> titles = [] {
        QSet<QString> set;
        set.reserve(qsizetype(kLicensedTitles.size()) + 1);
        for (const char16_t *title : kLicensedTitles)
            set.insert(QString::fromUtf16(title));
        set.insert(QStringLiteral("i\"s"));
        return set;
    }();
    return titles;
}

const QStringList &LicensedFilter::licensedPhrases()
{
    // Catches the many spellings and spin-offs of these series that the
    // table cannot list one by one.
    static const QStringList phrases{
        QStringLiteral("blue dragon"),
        QStringLiteral("fushigi y"),
        QStringLiteral("vampire knight"),
        QStringLiteral("kimi ni todoke"),
        QStringLiteral("boku no hatsukoi wo kimi ni sasagu"),
        QStringLiteral("video girl ai"),
        QStringLiteral("bizarre adventure"),
        QStringLiteral("pokemon"),
        QStringLiteral("higurashi no naku"),
        QStringLiteral("tsubasa"),
    };
    return phrases;
}

LicensedFilter::LicensedFilter(const QStringList &allowed) : licensedTitles_(defaultTitles())
{
    for (const QString &title : allowed)
        licensedTitles_.remove(title.toLower());
}

bool LicensedFilter::isLicensed(const QString &title) const
{
    const QString t = TrimBlanks(title);
    if (licensedTitles_.contains(t.toLower()))
        return true;
    for (const QString &phrase : licensedPhrases())
        if (contains(t, phrase))
            return true;
    // Case-sensitive on purpose: "Nana" is caught only through the table.
    return t == u"nana";
}
