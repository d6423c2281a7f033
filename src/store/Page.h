#pragma once

#include <optional>

#include "store/ManagedObject.h"

class Chapter;

// One page image of a chapter or download ("Page").
class Page : public ManagedObject
{
public:
    enum Property {
        Number,
        Url,
        Uuid,
        Width,
        Height,
        LeftBorder,
        RightBorder,
        IsDownloaded,
        ErrorString,
        IsGray,
        ChapterRelationship
    };
    static QString entityName() { return QStringLiteral("Page"); }
    using ManagedObject::ManagedObject;

    int number() const { return int(StoreValues::toInteger(value(Number))); }
    void setNumber(int number) { setValue(Number, qint64(number)); }
    QString url() const { return stringValue(Url); }
    void setUrl(const QString &url) { setStringValue(Url, url); }
    // The file name inside the chapter directory.
    QString uuid() const { return stringValue(Uuid); }
    void setUuid(const QString &uuid) { setStringValue(Uuid, uuid); }
    // Pixels; 0 (or nil) until the image has arrived.
    double width() const { return StoreValues::toDouble(value(Width)); }
    void setWidth(double width) { setValue(Width, width); }
    double height() const { return StoreValues::toDouble(value(Height)); }
    void setHeight(double height) { setValue(Height, height); }
    // First content column, and the column where content ends (exclusive);
    // both 0: no margins known.
    double leftBorder() const { return StoreValues::toDouble(value(LeftBorder)); }
    void setLeftBorder(double column) { setValue(LeftBorder, column); }
    double rightBorder() const { return StoreValues::toDouble(value(RightBorder)); }
    void setRightBorder(double column) { setValue(RightBorder, column); }
    // The request has ended and the file was written (possibly empty).
    bool isDownloaded() const { return StoreValues::toBool(value(IsDownloaded)); }
    void setIsDownloaded(bool downloaded) { setValue(IsDownloaded, downloaded); }
    // The last fetch error; null when none.
    QString errorString() const { return stringValue(ErrorString); }
    void setErrorString(const QString &text) { setStringValue(ErrorString, text); }

    // Whether the image holds no colour, as measured when it arrived: a grey
    // page may be decoded straight to grey. Unknown (nullopt) for pages
    // stored before this was measured and for images it cannot be told of.
    std::optional<bool> isGray() const
    {
        const StoreValue stored = value(IsGray);
        return StoreValues::isNil(stored) ? std::nullopt : std::optional<bool>(StoreValues::toBool(stored));
    }
    void setIsGray(std::optional<bool> gray) { setValue(IsGray, gray ? StoreValue(*gray) : StoreValue()); }

    std::shared_ptr<Chapter> chapter() const;
    void setChapter(const Chapter *chapter);
    void setChapter(const std::shared_ptr<Chapter> &chapter);
};
