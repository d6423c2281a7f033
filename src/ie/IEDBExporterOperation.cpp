#include "ie/IEDBExporterOperation.h"

#include "foundation/Localized.h"
#include "foundation/MainThread.h"
#include "ie/IEDBExporter.h"
#include "store/AppData.h"

IEDBExporterOperation::IEDBExporterOperation(const Chapter &chapter, QString outputRootPath, Callback didFail,
                                             Callback didFinish)
    : chapterID_(chapter.objectID()), outputRootPath_(std::move(outputRootPath)),
      didFail_(std::move(didFail)), didFinish_(std::move(didFinish))
{}

void IEDBExporterOperation::main()
{
    auto context = AppData::sharedAppData().newManagedObjectContext(false);
    const auto chapter = std::dynamic_pointer_cast<Chapter>(context->objectWithID(chapterID_));
    IEDBExporter exporter;
    bool ok = false;
    if (chapter)
        ok = exporter.exportChapter(*chapter, outputRootPath_, &error_);
    else
        error_ = Error{IEDBExporter::ErrorDomain, 1, localized("No chapter?")};
    zipFileName_ = exporter.zipFileName();
    const Callback &callback = ok ? didFinish_ : didFail_;
    if (callback)
        reportOnMain([this, &callback] { callback(*this); });
}
