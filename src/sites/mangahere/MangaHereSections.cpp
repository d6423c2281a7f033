#include "sites/mangahere/MangaHereSections.h"

MangaHereSections::MangaHereSections()
{
    addSearch(QStringLiteral("Search All"), QStringLiteral(""));
    addIndexed(QStringLiteral("All"), QStringLiteral("/mangalist/"));
    addFiltered(QStringLiteral("Popular"), QStringLiteral("/directory/"));
    addFiltered(QStringLiteral("Popular Action"), QStringLiteral("/action/"));
    addFiltered(QStringLiteral("Popular Adventure"), QStringLiteral("/adventure/"));
    addFiltered(QStringLiteral("Popular Comedy"), QStringLiteral("/comedy//"));
    addFiltered(QStringLiteral("Popular Doujinshi"), QStringLiteral("/doujinshi/"));
    addFiltered(QStringLiteral("Popular Drama"), QStringLiteral("/drama/"));
    addFiltered(QStringLiteral("Popular Ecchi"), QStringLiteral("/ecchi/"));
    addFiltered(QStringLiteral("Popular Fantasy"), QStringLiteral("/fantasy/"));
    addFiltered(QStringLiteral("Popular Gender Bender"), QStringLiteral("/gender_bender/"));
    addFiltered(QStringLiteral("Popular Harem"), QStringLiteral("/harem/"));
    addFiltered(QStringLiteral("Popular Historical"), QStringLiteral("/historical/"));
    addFiltered(QStringLiteral("Popular Horror"), QStringLiteral("/horror/"));
    addFiltered(QStringLiteral("Popular Josei"), QStringLiteral("/josei/"));
    addFiltered(QStringLiteral("Popular Martial Arts"), QStringLiteral("/martial_arts/"));
    addFiltered(QStringLiteral("Popular Mature"), QStringLiteral("/mature/"));
    addFiltered(QStringLiteral("Popular Mecha"), QStringLiteral("/mecha/"));
    addFiltered(QStringLiteral("Popular Mystery"), QStringLiteral("/mystery/"));
    addFiltered(QStringLiteral("Popular One Shot"), QStringLiteral("/one_shot/"));
    addFiltered(QStringLiteral("Popular Psychological"), QStringLiteral("/psychological/"));
    addFiltered(QStringLiteral("Popular Romance"), QStringLiteral("/romance/"));
    addFiltered(QStringLiteral("Popular School Life"), QStringLiteral("/school_life/"));
    addFiltered(QStringLiteral("Popular Sci Fi"), QStringLiteral("/sci-fi/"));
    addFiltered(QStringLiteral("Popular Seinen"), QStringLiteral("/seinen/"));
    addFiltered(QStringLiteral("Popular Shoujo"), QStringLiteral("/shoujo/"));
    addFiltered(QStringLiteral("Popular Shoujoai"), QStringLiteral("/shoujo_ai/"));
    addFiltered(QStringLiteral("Popular Shounen"), QStringLiteral("/shounen/"));
    addFiltered(QStringLiteral("Popular Shounenai"), QStringLiteral("/shounen_ai/"));
    addFiltered(QStringLiteral("Popular Slice of Life"), QStringLiteral("/slice_of_life/"));
    addFiltered(QStringLiteral("Popular Sports"), QStringLiteral("/sports/"));
    addFiltered(QStringLiteral("Popular Supernatural"), QStringLiteral("/supernatural/"));
    addFiltered(QStringLiteral("Popular Tragedy"), QStringLiteral("/tragedy/"));
    addFiltered(QStringLiteral("Popular Yaoi"), QStringLiteral("/yaoi/"));
    addFiltered(QStringLiteral("Popular Yuri"), QStringLiteral("/yuri/"));
}
