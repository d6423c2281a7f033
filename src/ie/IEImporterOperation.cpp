#include "ie/IEImporterOperation.h"

#include "files/FilesRemover.h"
#include "foundation/MainThread.h"
#include "ie/IEImportDeducer.h"
#include "ie/IEImportUnzipper.h"

IEImporterOperation::IEImporterOperation(QString zipFileName, QString unzippedRootPath, Callback didFail,
                                         Callback didFinish)
    : zipFileName_(std::move(zipFileName)), unzippedRootPath_(std::move(unzippedRootPath)),
      didFail_(std::move(didFail)), didFinish_(std::move(didFinish))
{}

void IEImporterOperation::main()
{
    FilesRemover::removeFilesAtPath(unzippedRootPath_, QString(), true);
    IEImportUnzipper unzipper;
    if (!unzipper.unzipFileName(zipFileName_, unzippedRootPath_, &error_)) {
        report(didFail_);
        return;
    }
    IEImportDeducer deducer;
    const bool read = deducer.readUnzippedPath(unzipper.unzippedPath(), &error_);
    chapters_ = deducer.chapters();
    if (!read) {
        report(didFail_);
        return;
    }
    unzippedPath_ = unzipper.unzippedPath();
    report(didFinish_);
}

void IEImporterOperation::report(const Callback &callback)
{
    if (callback)
        reportOnMain([this, &callback] { callback(*this); });
}
