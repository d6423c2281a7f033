#pragma once

#include <optional>

#include "store/ManagedObject.h"

class Chapter;

// One manga of the library ("Book"). The downloads book, titled
// "Downloads" with the root title "Downloads", owns every download.
class Book : public ManagedObject
{
public:
    enum Property { Title, RootTitle, Uuid, LastChapterNumberRead };
    static QString entityName() { return QStringLiteral("Book"); }
    using ManagedObject::ManagedObject;

    QString title() const { return stringValue(Title); }
    void setTitle(const QString &title) { setStringValue(Title, title); }
    // The source's name: the site as the catalogue names it, or the import.
    QString rootTitle() const { return stringValue(RootTitle); }
    void setRootTitle(const QString &rootTitle) { setStringValue(RootTitle, rootTitle); }
    // Names the book's image directory.
    QString uuid() const { return stringValue(Uuid); }
    void setUuid(const QString &uuid) { setStringValue(Uuid, uuid); }
    // The chapter read last, times ten (chapter 12.5 is 125); nil until one is.
    std::optional<Decimal> lastChapterNumberRead() const;
    void setLastChapterNumberRead(const std::optional<Decimal> &number);

    // Chapters and downloads of the book, in no particular order.
    std::vector<std::shared_ptr<Chapter>> chapters() const;
    void addChaptersObject(Chapter &chapter);
    void removeChaptersObject(Chapter &chapter);
};
