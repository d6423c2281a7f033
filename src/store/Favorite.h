#pragma once

#include "store/ManagedObject.h"

// A manga remembered from the Internet tab ("Favorite").
class Favorite : public ManagedObject
{
public:
    enum Property { Title, UrlString, RootURLString, RootTitle };
    static QString entityName() { return QStringLiteral("Favorite"); }
    using ManagedObject::ManagedObject;

    QString title() const { return stringValue(Title); }
    void setTitle(const QString &title) { setStringValue(Title, title); }
    // The manga's page: absolute, or a path to join to rootURLString.
    QString urlString() const { return stringValue(UrlString); }
    void setUrlString(const QString &url) { setStringValue(UrlString, url); }
    QString rootURLString() const { return stringValue(RootURLString); }
    void setRootURLString(const QString &url) { setStringValue(RootURLString, url); }
    QString rootTitle() const { return stringValue(RootTitle); }
    void setRootTitle(const QString &rootTitle) { setStringValue(RootTitle, rootTitle); }
};
