#pragma once

#include <QStringList>

#include "foundation/Error.h"

// Moves named entries of one data directory into another, at start-up after
// the data directory changed. Renames within the file system, never copies,
// so a large library moves at once. Thread contract: any thread.
class IEMigrator
{
public:
    // For each name in order: moved when it exists at the source and not at
    // the destination; otherwise left where it is. A failed move does not stop
    // the run; the last failure is returned.
    OptionalError migrateBaseNames(const QStringList &baseNames, const QString &fromPath,
                                   const QString &toPath) const;
};
