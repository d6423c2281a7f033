#pragma once

#include <functional>

#include <QString>

#include "foundation/Operation.h"

// Empties a folder (files and folders alike) in the background.
// Thread contract: runs on its own queue's thread; the finish callback runs
// on the main thread, and not at all once the operation is cancelled.
class IEFilesRemoverOperation : public Operation
{
public:
    IEFilesRemoverOperation(QString rootPath, std::function<void()> didFinish);
    void main() override;

    const QString &rootPath() const { return rootPath_; }

private:
    QString rootPath_;
    std::function<void()> didFinish_;
};
