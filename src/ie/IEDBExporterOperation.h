#pragma once

#include <functional>
#include <memory>

#include <QString>

#include "foundation/Error.h"
#include "foundation/Operation.h"
#include "store/ObjectID.h"

class Chapter;

// Exports one library chapter as a zip in the background.
// Thread contract: created on the main thread with a record of the shared
// context; runs on its own queue of width 1, reading the chapter in a store
// context of its own; the finish or fail callback runs on the main thread
// while the operation waits, and not at all once it is cancelled.
class IEDBExporterOperation : public Operation
{
public:
    using Callback = std::function<void(IEDBExporterOperation &)>;

    IEDBExporterOperation(const Chapter &chapter, QString outputRootPath, Callback didFail,
                          Callback didFinish);
    void main() override;

    // The zip written (or partly written), copied from the exporter.
    const QString &zipFileName() const { return zipFileName_; }
    const OptionalError &error() const { return error_; }

private:
    ObjectID chapterID_;
    QString outputRootPath_;
    Callback didFail_;
    Callback didFinish_;
    QString zipFileName_;
    OptionalError error_;
};
