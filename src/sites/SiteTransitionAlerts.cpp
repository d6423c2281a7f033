#include "sites/SiteTransitionAlerts.h"

#include "foundation/AlertFunctions.h"
#include "sites/SiteConfig.h"

void OneMangaAlert()
{
    SiteTransitionAlert(QStringLiteral("OneManga"));
}

void MangaFoxAlert()
{
    SiteTransitionAlert(SiteConfig::mangaFoxDisplayName());
}
