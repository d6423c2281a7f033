#include "files/DeleteAlert.h"

#include "files/MyDirectories.h"
#include "foundation/AlertFunctions.h"
#include "foundation/Localized.h"

void DeleteAlert()
{
    // The directory named is the real home directory of this installation.
    const QString removeDirectory =
        localized("(or remove the directory %1)").arg(MyDirectories::sharedMyDirectories().homeDirectory());
    AlertWithTitleAndMessage(localized("Important"),
                             localized("To completely remove the app") + u", " +
                                 localized("you must delete all the downloaded mangas from the app before "
                                           "uninstalling.") +
                                 u'\n' + removeDirectory);
}
