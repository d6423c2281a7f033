#pragma once

#include <functional>

#include <QList>
#include <QString>

#include "foundation/Error.h"
#include "foundation/Operation.h"
#include "ie/zip/IEImportChapter.h"

// The first half of a zip import, in the background: empties the temporary
// folder, unpacks the zip into it and reads the unpacked folder as chapters.
// Thread contract: runs on its own queue of width 1; the callbacks run on
// the main thread while the operation waits, and not at all once it is
// cancelled.
class IEImporterOperation : public Operation
{
public:
    using Callback = std::function<void(IEImporterOperation &)>;

    IEImporterOperation(QString zipFileName, QString unzippedRootPath, Callback didFail, Callback didFinish);
    void main() override;

    const QString &zipFileName() const { return zipFileName_; }
    const QString &unzippedPath() const { return unzippedPath_; }
    const QList<IEImportChapter> &chapters() const { return chapters_; }
    const OptionalError &error() const { return error_; }

private:
    void report(const Callback &callback);

    QString zipFileName_;
    QString unzippedRootPath_;
    Callback didFail_;
    Callback didFinish_;
    QString unzippedPath_;
    QList<IEImportChapter> chapters_;
    OptionalError error_;
};
