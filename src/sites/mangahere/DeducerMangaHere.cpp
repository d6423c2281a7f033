#include "sites/mangahere/DeducerMangaHere.h"

bool DeducerMangaHere::go()
{
    if (!visitEveryPage())
        return false;
    if (!urlStrings_.isEmpty())
        removeDuplicates(urlStrings_);
    return true;
}
