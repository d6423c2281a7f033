#pragma once

#include <QString>

#include "foundation/Error.h"

// Removes the entries of one directory whose names match a pattern (ICU
// syntax, matched anywhere in the name; empty matches everything). Stops at
// the first error; what was removed before it stays removed.
// Thread contract: any thread.
class FilesRemover
{
public:
    // Plain files only unless includeDirectories is set, in which case a
    // matching directory goes with all its contents. A symbolic link is
    // removed as a link, never followed into its target.
    static OptionalError removeFilesAtPath(const QString &path, const QString &regex,
                                           bool includeDirectories = false);
};
