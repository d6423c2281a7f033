#include "ie/IEDBImporter.h"

#include <unistd.h>

#include <QFile>
#include <QFileInfo>

#include "foundation/Localized.h"
#include "foundation/WaitOverlay.h"
#include "ie/zip/IEImportChapter.h"
#include "reader/Cropper.h"
#include "store/AppData.h"
#include "store/BooksRequest.h"

bool IEDBImporter::importBookTitle(const QString &bookTitle, const QString &rootTitle,
                                   const IEImportChapter &chapter, ManagedObjectContext &context,
                                   OptionalError *error)
{
    AppData &appData = AppData::sharedAppData();
    OptionalError fetchError;
    const auto books = context.fetch<Book>(BooksRequest(bookTitle, rootTitle, &context), &fetchError);
    if (fetchError) {
        if (error)
            *error = fetchError;
        return false;
    }
    const std::shared_ptr<Book> book =
        books.empty() ? appData.createBookWithTitle(bookTitle, rootTitle, &context) : books.back();

    const int count = int(chapter.pages.size());
    auto newChapter = appData.createChapterWithTitle(chapter.title, chapter.number, count, true, &context);
    newChapter->setBook(book);
    if (!appData.createChapterDirectory(*newChapter)) {
        if (error)
            *error = Error{ErrorDomain, 1, localized("Could not create the chapter's folder")};
        return false;
    }
    const QString directory = appData.chapterDirectory(*newChapter);

    for (int i = 0; i < count; ++i) {
        const QString path = chapter.pages[i];
        QFile file(path);
        if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
            if (error)
                *error = Error{ErrorDomain, 1, localized("No file?")};
            return false;
        }
        if (showsProgress_)
            WaitOverlay::postLabelText(withArguments(localized("Processing %d/%d"),
                                                     {QString::number(i + 1), QString::number(count)}));
        const QByteArray bytes = file.readAll();
        const QString name = QFileInfo(path).fileName();
        const QString target = directory + u'/' + name;
        OptionalError copyError;
        // A second name for the unpacked file costs no copying; the unpacked
        // folder is emptied afterwards, which leaves the library's name.
        if (!QFileInfo::exists(target) &&
            ::link(QFile::encodeName(path).constData(), QFile::encodeName(target).constData()) != 0 &&
            !QFile::copy(path, target))
            copyError = Error{QStringLiteral("FileErrorDomain"), 1,
                              QStringLiteral("\u201C%1\u201D could not be copied.").arg(name)};

        Cropper cropper(bytes);
        float left = 0, right = 0;
        if (cropper.width() > 0 && cropper.height() > 0 && cropper.crop()) {
            left = cropper.leftBorder();
            right = cropper.rightBorder();
        }
        auto page = appData.createPageWithUrlString(QStringLiteral(""), i, cropper.width(), cropper.height(),
                                                    &context);
        page->setUuid(name);
        page->setChapter(newChapter);
        page->setLeftBorder(left);
        page->setRightBorder(right);
        page->setIsGray(cropper.isGray());
        if (copyError) {
            if (error)
                *error = copyError;
            return false;
        }
    }
    return true;
}

Decimal IEDBImporter::adjustedNumberFromChapterNumber(const Decimal &chapter, const Decimal &volume)
{
    if (volume.isNaN())
        return chapter;
    return volume * Decimal(10000) + chapter;
}

QString IEDBImporter::titleFromChapterNumber(const Decimal &chapter, const Decimal &volume)
{
    if (!volume.isNaN() && !volume.isZero())
        return withArguments(localized("Volume %@ Chapter %@"), {volume.toString(), chapter.toString()});
    return withArguments(localized("Chapter %@"), {chapter.toString()});
}
