#include "ie/IEDBImporterOperation.h"

#include "foundation/MainThread.h"
#include "ie/IEDBImporter.h"
#include "store/AppData.h"

IEDBImporterOperation::IEDBImporterOperation(QString bookTitle, QString rootTitle, IEImportChapter chapter,
                                             Callback didFail, Callback didFinish, bool showsProgress)
    : bookTitle_(std::move(bookTitle)), rootTitle_(std::move(rootTitle)), chapter_(std::move(chapter)),
      didFail_(std::move(didFail)), didFinish_(std::move(didFinish)), showsProgress_(showsProgress)
{}

void IEDBImporterOperation::main()
{
    AppData &appData = AppData::sharedAppData();
    auto context = appData.newManagedObjectContext(false);
    IEDBImporter importer(showsProgress_);
    if (importer.importBookTitle(bookTitle_, rootTitle_, chapter_, *context, &error_)) {
        std::optional<ContextDidSaveNotification> saved;
        context->addDidSaveObserver(this, [&saved](const ContextDidSaveNotification &n) { saved = n; });
        error_ = appData.saveInManagedObjectContext(*context);
        context->removeDidSaveObserver(this);
        if (saved) {
            // The main context learns of the new records before anyone is told.
            appData.mergeChangesIntoMainContext(*saved);
            report(didFinish_);
            return;
        }
    }
    report(didFail_);
}

void IEDBImporterOperation::report(const Callback &callback)
{
    if (callback)
        reportOnMain([this, &callback] { callback(*this); });
}
