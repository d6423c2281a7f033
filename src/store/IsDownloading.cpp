#include "store/IsDownloading.h"

#include "foundation/AlertFunctions.h"
#include "foundation/Localized.h"
#include "store/AppData.h"
#include "store/DownloadsRequest.h"

bool IsDownloading()
{
    std::optional<Error> error;
    const auto downloads =
        AppData::sharedAppData().managedObjectContext()->fetch<Download>(DownloadsRequest(), &error);
    if (error) {
        AlertWithTitleAndError(localized("Fatal! Please exit the application"), *error);
        return false;
    }
    for (const auto &download : downloads) {
        if (download->isDownloading())
            return true;
    }
    return false;
}
