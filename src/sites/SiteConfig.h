#pragma once

#include <optional>

#include <QString>
#include <QStringList>

// Where each supported site lives. A site's base URL comes, in this order,
// from a process-wide override (the programs' "--site name=URL" option, used
// by tests and local mirrors), from the settings file, or from the site's
// real address. Thread contract: any thread; overrides are meant to be set
// at start-up before any fetch runs, but reads and writes are locked anyway.
class SiteConfig
{
public:
    enum class Site { MangaFox, MangaReader, MangaHere, OneManga, OneMangaMirror };

    // Scheme and host ending in "/" (an override is given one when it lacks it).
    static QString baseURL(Site site);
    static QString defaultBaseURL(Site site);
    static QString settingsKey(Site site);

    // "mangafox", "mangareader", "mangahere", "onemanga", "onemanga-mirror".
    static QString optionName(Site site);
    static std::optional<Site> siteForOptionName(const QString &name);
    static QStringList optionNames();

    // Takes the text after "--site": "name=URL". Returns an error message for
    // an unknown name, a missing "=" or an empty URL; nothing on success.
    static std::optional<QString> applySiteOption(const QString &nameEqualsURL);
    // Scans a program's arguments for "--site name=URL" and "--site=name=URL",
    // applies each and removes them. Returns the first error, if any.
    static std::optional<QString> takeSiteOptions(QStringList &arguments);
    static void setOverride(Site site, const QString &url);
    static void clearOverrides();

    // Label and cache owner name of the MangaFox entries: the site's name with
    // its domain ending. Fixed rather than derived from the configured host,
    // because it also names cached lists and stored books, which must not
    // change when the site is reached through a mirror.
    static QString mangaFoxDisplayName();

    // The hosts the page images of MangaFox and MangaReader come from, as the
    // deducers' image tests match them: the site's configured host (port
    // included) without a leading "www.", because the images are served from
    // sibling hosts of the site ("img.mangafox.com", "i3.mangareader.net").
    static QString mangaFoxImageHost();
    static QString mangaReaderImageHost();

    // The site whose word the text contains: the first of "onemanga",
    // "mangafox", "mangareader", "mangahere" found in it, ignoring case (a
    // mirror carries its site's word, so this never names the mirror).
    static std::optional<Site> siteNamedIn(const QString &text);
    // The site of a page address: the site it names, else the site whose
    // configured base URL it starts with (a mirror or a loopback test site
    // counts as the site it stands in for). Nothing when neither.
    static std::optional<Site> siteForURL(const QString &url);
    // The word of siteForURL ("onemanga" for the mirror); empty when none.
    static QString siteKeyForURL(const QString &url);
};
