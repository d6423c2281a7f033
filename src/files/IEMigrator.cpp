#include "files/IEMigrator.h"

#include <QDir>
#include <QFileInfo>

#include "foundation/Localized.h"

namespace {

// Counts a dangling symbolic link as present: it still holds the name.
bool entryExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

OptionalError IEMigrator::migrateBaseNames(const QStringList &baseNames, const QString &fromPath,
                                           const QString &toPath) const
{
    OptionalError lastError;
    for (const QString &name : baseNames) {
        const QString source = QDir(fromPath).filePath(name);
        const QString destination = QDir(toPath).filePath(name);
        if (!entryExists(source) || entryExists(destination))
            continue;
        if (!QDir().rename(source, destination)) {
            lastError = Error{QStringLiteral("IEMigrator"), 1,
                              localized("Could not move %1 to %2").arg(source, destination)};
        }
    }
    return lastError;
}
