#pragma once

#include <QString>

#include "foundation/Error.h"

// Unpacks an imported zip into the temporary folder. The zip is expected to
// hold one top folder named like the zip; `unzippedPath` is where that folder
// lands. Whatever an unpacking wrote is taken away again when it fails.
// Thread contract: the import operation's thread.
class IEImportUnzipper
{
public:
    static inline const QString ErrorDomain = QStringLiteral("ZipperDomain");
    static constexpr quint64 maxFileSize = 209'715'200;

    // False with no error only for a zip whose name without extension is empty.
    bool unzipFileName(const QString &zipFileName, const QString &unzippedRootPath, OptionalError *error);
    const QString &unzippedPath() const { return unzippedPath_; }
    // Removes `unzippedPath` when it exists.
    void cleanUp();

private:
    bool fail(int code, const QString &message, OptionalError *error);

    QString unzippedPath_;
};
