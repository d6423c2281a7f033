#include "ie/zip/IEFilesRemoverOperation.h"

#include "files/FilesRemover.h"
#include "foundation/MainThread.h"

IEFilesRemoverOperation::IEFilesRemoverOperation(QString rootPath, std::function<void()> didFinish)
    : rootPath_(std::move(rootPath)), didFinish_(std::move(didFinish))
{}

void IEFilesRemoverOperation::main()
{
    FilesRemover::removeFilesAtPath(rootPath_, QString(), true);
    if (didFinish_)
        reportOnMain(didFinish_);
}
