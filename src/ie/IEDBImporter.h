#pragma once

#include <QString>

#include "foundation/Decimal.h"
#include "foundation/Error.h"

class ManagedObjectContext;
struct IEImportChapter;

// Writes one chapter of image files into the library: the book (found by
// title and source, or created), the chapter, one page per image with its
// size and the margins the cropper finds, and copies of the images in the
// chapter's folder under their own names.
// Thread contract: the thread of the given context (a store import
// operation); progress texts go to the wait overlay without waiting.
class IEDBImporter
{
public:
    static inline const QString ErrorDomain = QStringLiteral("DBImporterDomain");

    explicit IEDBImporter(bool showsProgress = false) : showsProgress_(showsProgress) {}

    // Nothing is saved; on failure the partial records stay unsaved in the
    // context and files already copied stay on disk.
    bool importBookTitle(const QString &bookTitle, const QString &rootTitle, const IEImportChapter &chapter,
                         ManagedObjectContext &context, OptionalError *error);

    // A volume that is not a number means none: chapter C of volume V is
    // stored as V × 10000 + C.
    static Decimal adjustedNumberFromChapterNumber(const Decimal &chapter, const Decimal &volume);
    // "Volume V Chapter C", or "Chapter C" without a volume or with volume 0.
    static QString titleFromChapterNumber(const Decimal &chapter, const Decimal &volume);

private:
    bool showsProgress_;
};
