#include "sites/SiteConfig.h"

#include <array>
#include <map>
#include <mutex>

#include "foundation/MainThread.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "foundation/StringHelpers.h"

namespace {

using Site = SiteConfig::Site;

struct SiteRow {
    Site site;
    const char *option;
    QLatin1String settingsKey;
    const char *defaultURL;
    const char *word; // the site word that page addresses carry
};

// Ordered as the site words are tested when an address is classified.
constexpr std::array<SiteRow, 5> kSites{{
    {Site::OneManga, "onemanga", SettingsKeys::oneMangaBaseURL, "http://www.onemanga.com/", "onemanga"},
    {Site::OneMangaMirror, "onemanga-mirror", SettingsKeys::oneMangaMirrorBaseURL, "http://www.onemanga.me/",
     "onemanga"},
    {Site::MangaFox, "mangafox", SettingsKeys::mangaFoxBaseURL, "http://www.mangafox.com/", "mangafox"},
    {Site::MangaReader, "mangareader", SettingsKeys::mangaReaderBaseURL, "http://www.mangareader.net/",
     "mangareader"},
    {Site::MangaHere, "mangahere", SettingsKeys::mangaHereBaseURL, "http://www.mangahere.com/", "mangahere"},
}};

const SiteRow &row(Site site)
{
    for (const auto &r : kSites)
        if (r.site == site)
            return r;
    return kSites.front();
}

std::mutex &overridesMutex()
{
    static std::mutex m;
    return m;
}

std::map<Site, QString> &overrides()
{
    static std::map<Site, QString> map;
    return map;
}

// The settings belong to the main thread; what it last read there serves
// the worker threads.
std::map<Site, QString> &settingsSeen()
{
    static std::map<Site, QString> map;
    return map;
}

QString withTrailingSlash(QString url)
{
    if (!url.endsWith(u'/'))
        url += u'/';
    return url;
}

} // namespace

QString SiteConfig::baseURL(Site site)
{
    {
        std::lock_guard lock(overridesMutex());
        auto it = overrides().find(site);
        if (it != overrides().end())
            return it->second;
    }
    if (isMainThread()) {
        const QString stored =
            MyUserDefaults::sharedMyUserDefaults().stringForKey(settingsKey(site)).trimmed();
        std::lock_guard lock(overridesMutex());
        if (stored.isEmpty())
            settingsSeen().erase(site);
        else
            settingsSeen()[site] = withTrailingSlash(stored);
    }
    std::lock_guard lock(overridesMutex());
    auto seen = settingsSeen().find(site);
    return seen != settingsSeen().end() ? seen->second : defaultBaseURL(site);
}

QString SiteConfig::defaultBaseURL(Site site)
{
    return QString::fromLatin1(row(site).defaultURL);
}

QString SiteConfig::settingsKey(Site site)
{
    return QString(row(site).settingsKey);
}

QString SiteConfig::optionName(Site site)
{
    return QString::fromLatin1(row(site).option);
}

std::optional<SiteConfig::Site> SiteConfig::siteForOptionName(const QString &name)
{
    for (const auto &r : kSites)
        if (name.compare(QLatin1String(r.option), Qt::CaseInsensitive) == 0)
            return r.site;
    return std::nullopt;
}

QStringList SiteConfig::optionNames()
{
    QStringList names;
    for (const auto &r : kSites)
        names << QString::fromLatin1(r.option);
    return names;
}

std::optional<QString> SiteConfig::applySiteOption(const QString &nameEqualsURL)
{
    const qsizetype eq = nameEqualsURL.indexOf(u'=');
    if (eq < 0)
        return QStringLiteral("--site expects name=URL, got '%1'").arg(nameEqualsURL);
    const QString name = nameEqualsURL.left(eq).trimmed();
    const QString url = nameEqualsURL.mid(eq + 1).trimmed();
    const auto site = siteForOptionName(name);
    if (!site)
        return QStringLiteral("unknown site '%1' (known: %2)").arg(name, optionNames().join(u", "));
    if (url.isEmpty())
        return QStringLiteral("--site %1= needs a URL").arg(name);
    setOverride(*site, url);
    return std::nullopt;
}

std::optional<QString> SiteConfig::takeSiteOptions(QStringList &arguments)
{
    std::optional<QString> firstError;
    for (qsizetype i = 0; i < arguments.size();) {
        QString value;
        qsizetype consumed = 0;
        if (arguments[i] == u"--site") {
            if (i + 1 >= arguments.size()) {
                if (!firstError)
                    firstError = QStringLiteral("--site expects name=URL");
                arguments.removeAt(i);
                continue;
            }
            value = arguments[i + 1];
            consumed = 2;
        } else if (arguments[i].startsWith(u"--site=")) {
            value = arguments[i].mid(7);
            consumed = 1;
        } else {
            ++i;
            continue;
        }
        arguments.remove(i, consumed);
        if (auto error = applySiteOption(value); error && !firstError)
            firstError = error;
    }
    return firstError;
}

void SiteConfig::setOverride(Site site, const QString &url)
{
    std::lock_guard lock(overridesMutex());
    overrides()[site] = withTrailingSlash(url);
}

void SiteConfig::clearOverrides()
{
    std::lock_guard lock(overridesMutex());
    overrides().clear();
}

QString SiteConfig::mangaFoxDisplayName()
{
    return QStringLiteral("MangaFox.com");
}

static QString imageHostOf(const QString &baseURL)
{
    QString host = baseURL;
    const qsizetype scheme = host.indexOf(u"://");
    if (scheme >= 0)
        host.remove(0, scheme + 3);
    const qsizetype slash = host.indexOf(u'/');
    if (slash >= 0)
        host.truncate(slash);
    if (host.startsWith(u"www.", Qt::CaseInsensitive))
        host.remove(0, 4);
    return host;
}

QString SiteConfig::mangaFoxImageHost()
{
    return imageHostOf(baseURL(Site::MangaFox));
}

QString SiteConfig::mangaReaderImageHost()
{
    return imageHostOf(baseURL(Site::MangaReader));
}

std::optional<SiteConfig::Site> SiteConfig::siteNamedIn(const QString &text)
{
    for (const auto &r : kSites)
        if (contains(text, QString::fromLatin1(r.word)))
            return r.site;
    return std::nullopt;
}

std::optional<SiteConfig::Site> SiteConfig::siteForURL(const QString &url)
{
    if (auto site = siteNamedIn(url))
        return site;
    for (const auto &r : kSites)
        if (url.startsWith(baseURL(r.site), Qt::CaseInsensitive))
            return siteNamedIn(QString::fromLatin1(r.word));
    return std::nullopt;
}

QString SiteConfig::siteKeyForURL(const QString &url)
{
    const auto site = siteForURL(url);
    return site ? QString::fromLatin1(row(*site).word) : QString();
}
