#include "sites/mangafox/MangaFoxSections.h"

MangaFoxSections::MangaFoxSections()
{
    addSearch(QStringLiteral("Search All"), QStringLiteral(""));
    addFiltered(QStringLiteral("Popular"), QStringLiteral(""));
    addFiltered(QStringLiteral("Popular Action"), QStringLiteral("/action/"));
    addFiltered(QStringLiteral("Popular Adventure"), QStringLiteral("/adventure/"));
    addFiltered(QStringLiteral("Popular Comedy"), QStringLiteral("/comedy/"));
    addFiltered(QStringLiteral("Popular Doujinshi"), QStringLiteral("/doujishi/"));
    addFiltered(QStringLiteral("Popular Drama"), QStringLiteral("/drama/"));
    addFiltered(QStringLiteral("Popular Ecchi"), QStringLiteral("/ecchi/"));
    addFiltered(QStringLiteral("Popular Fantasy"), QStringLiteral("/fantasy/"));
    addFiltered(QStringLiteral("Popular Gender Bender"), QStringLiteral("/gender-bender/"));
    addFiltered(QStringLiteral("Popular Harem"), QStringLiteral("/harem/"));
    addFiltered(QStringLiteral("Popular Historical"), QStringLiteral("/historical/"));
    addFiltered(QStringLiteral("Popular Horror"), QStringLiteral("/horror/"));
    addFiltered(QStringLiteral("Popular Josei"), QStringLiteral("/josei/"));
    addFiltered(QStringLiteral("Popular Martial Arts"), QStringLiteral("/martial-arts/"));
    addFiltered(QStringLiteral("Popular Mature"), QStringLiteral("/mature/"));
    addFiltered(QStringLiteral("Popular Mecha"), QStringLiteral("/mecha/"));
    addFiltered(QStringLiteral("Popular Mystery"), QStringLiteral("/mystery/"));
    addFiltered(QStringLiteral("Popular One Shot"), QStringLiteral("/one-shot/"));
    addFiltered(QStringLiteral("Popular Psychological"), QStringLiteral("/psychological/"));
    addFiltered(QStringLiteral("Popular Romance"), QStringLiteral("/romance/"));
    addFiltered(QStringLiteral("Popular School Life"), QStringLiteral("/school-life/"));
    addFiltered(QStringLiteral("Popular Sci Fi"), QStringLiteral("/sci-fi/"));
    addFiltered(QStringLiteral("Popular Seinen"), QStringLiteral("/seinen/"));
    addFiltered(QStringLiteral("Popular Shoujo"), QStringLiteral("/shoujo/"));
    addFiltered(QStringLiteral("Popular Shoujoai"), QStringLiteral("/shoujo-ai/"));
    addFiltered(QStringLiteral("Popular Shounen"), QStringLiteral("/shounen/"));
    addFiltered(QStringLiteral("Popular Shounenai"), QStringLiteral("/shounen--ai/"));
    addFiltered(QStringLiteral("Popular Slice of Life"), QStringLiteral("/slice-of-life/"));
    addFiltered(QStringLiteral("Popular Smut"), QStringLiteral("/smut/"));
    addFiltered(QStringLiteral("Popular Sports"), QStringLiteral("/sports/"));
    addFiltered(QStringLiteral("Popular Super Power"), QStringLiteral("/super-power/"));
    addFiltered(QStringLiteral("Popular Supernatural"), QStringLiteral("/supernatural/"));
    addFiltered(QStringLiteral("Popular Tragedy"), QStringLiteral("/tragedy/"));
    addFiltered(QStringLiteral("Popular Webtoons"), QStringLiteral("/webtoons/"));
    addFiltered(QStringLiteral("Popular Yaoi"), QStringLiteral("/yaoi/"));
    addFiltered(QStringLiteral("Popular Yuri"), QStringLiteral("/yuri/"));
}
