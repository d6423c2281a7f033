#pragma once

#include <functional>

#include <QString>

#include "foundation/Error.h"
#include "foundation/Operation.h"
#include "ie/zip/IEImportChapter.h"

// Runs the store import of one chapter in the background, in a store
// context of its own. On success the context is saved and its changes are
// merged into the shared context before the finish callback runs.
// Thread contract: runs on its own queue of width 1; the callbacks run on
// the main thread while the operation waits, and not at all once it is
// cancelled.
class IEDBImporterOperation : public Operation
{
public:
    using Callback = std::function<void(IEDBImporterOperation &)>;

    // With `showsProgress`, "Processing %d/%d" goes to the wait overlay.
    IEDBImporterOperation(QString bookTitle, QString rootTitle, IEImportChapter chapter, Callback didFail,
                          Callback didFinish, bool showsProgress = true);
    void main() override;

    const OptionalError &error() const { return error_; }
    const IEImportChapter &chapter() const { return chapter_; }

private:
    void report(const Callback &callback);

    QString bookTitle_;
    QString rootTitle_;
    IEImportChapter chapter_;
    Callback didFail_;
    Callback didFinish_;
    bool showsProgress_;
    OptionalError error_;
};
