#include "store/IsDownloading.h"

#include "foundation/AlertFunctions.h"
#include "foundation/Localized.h"
#include "store/AppData.h"
#include "store/DownloadsRequest.h"

std::optional<std::vector<std::shared_ptr<Download>>> AllDownloadsOrFatalAlert()
{
    std::optional<Error> error;
    auto downloads =
        AppData::sharedAppData().managedObjectContext()->fetch<Download>(DownloadsRequest(), &error);
    if (error) {
        AlertWithTitleAndError(localized("Fatal! Please exit the application"), *error);
        return std::nullopt;
    }
    return downloads;
}

bool IsDownloading()
{
    const auto downloads = AllDownloadsOrFatalAlert();
    if (!downloads)
        return false;
    for (const auto &download : *downloads) {
        if (download->isDownloading())
            return true;
    }
    return false;
}
