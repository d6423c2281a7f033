#include "sites/mangareader/MangaReaderSections.h"

MangaReaderSections::MangaReaderSections()
{
    addIndexed(QStringLiteral("All"), QStringLiteral("/alphabetical"));
    addFiltered(QStringLiteral("Popular"), QStringLiteral("/popular"));
    addFiltered(QStringLiteral("Popular Action"), QStringLiteral("/popular/action"));
    addFiltered(QStringLiteral("Popular Adventure"), QStringLiteral("/popular/adventure"));
    addFiltered(QStringLiteral("Popular Comedy"), QStringLiteral("/popular/comedy"));
    addFiltered(QStringLiteral("Popular Demons"), QStringLiteral("/popular/demons"));
    addFiltered(QStringLiteral("Popular Drama"), QStringLiteral("/popular/drama"));
    addFiltered(QStringLiteral("Popular Ecchi"), QStringLiteral("/popular/ecchi"));
    addFiltered(QStringLiteral("Popular Fantasy"), QStringLiteral("/popular/fantasy"));
    addFiltered(QStringLiteral("Popular Gender Bender"), QStringLiteral("/popular/gender-bender"));
    addFiltered(QStringLiteral("Popular Harem"), QStringLiteral("/popular/harem"));
    addFiltered(QStringLiteral("Popular Historical"), QStringLiteral("/popular/historical"));
    addFiltered(QStringLiteral("Popular Horror"), QStringLiteral("/popular/horror"));
    addFiltered(QStringLiteral("Popular Josei"), QStringLiteral("/popular/josei"));
    addFiltered(QStringLiteral("Popular Magic"), QStringLiteral("/popular/magic"));
    addFiltered(QStringLiteral("Popular Martial Arts"), QStringLiteral("/popular/martial-arts"));
    addFiltered(QStringLiteral("Popular Mature"), QStringLiteral("/popular/mature"));
    addFiltered(QStringLiteral("Popular Mecha"), QStringLiteral("/popular/mecha"));
    addFiltered(QStringLiteral("Popular Military"), QStringLiteral("/popular/military"));
    addFiltered(QStringLiteral("Popular Mystery"), QStringLiteral("/popular/mystery"));
    addFiltered(QStringLiteral("Popular One Shot"), QStringLiteral("/popular/one-shot"));
    addFiltered(QStringLiteral("Popular Psychological"), QStringLiteral("/popular/psychological"));
    addFiltered(QStringLiteral("Popular Romance"), QStringLiteral("/popular/romance"));
    addFiltered(QStringLiteral("Popular School Life"), QStringLiteral("/popular/school-life"));
    addFiltered(QStringLiteral("Popular Sci Fi"), QStringLiteral("/popular/sci-fi"));
    addFiltered(QStringLiteral("Popular Seinen"), QStringLiteral("/popular/seinen"));
    addFiltered(QStringLiteral("Popular Shoujo"), QStringLiteral("/popular/shoujo"));
    addFiltered(QStringLiteral("Popular Shoujoai"), QStringLiteral("/popular/shoujoai"));
    addFiltered(QStringLiteral("Popular Shounen"), QStringLiteral("/popular/shounen"));
    addFiltered(QStringLiteral("Popular Shounenai"), QStringLiteral("/popular/shounenai"));
    addFiltered(QStringLiteral("Popular Slice of Life"), QStringLiteral("/popular/slice-of-life"));
    addFiltered(QStringLiteral("Popular Smut"), QStringLiteral("/popular/smut"));
    addFiltered(QStringLiteral("Popular Sports"), QStringLiteral("/popular/sports"));
    addFiltered(QStringLiteral("Popular Super Power"), QStringLiteral("/popular/super-power"));
    addFiltered(QStringLiteral("Popular Supernatural"), QStringLiteral("/popular/supernatural"));
    addFiltered(QStringLiteral("Popular Tragedy"), QStringLiteral("/popular/tragedy"));
    addFiltered(QStringLiteral("Popular Vampire"), QStringLiteral("/popular/vampire"));
    addFiltered(QStringLiteral("Popular Yaoi"), QStringLiteral("/popular/yaoi"));
    addFiltered(QStringLiteral("Popular Yuri"), QStringLiteral("/popular/yuri"));
}
