#include "files/UrlStringJoins.h"

QString urlStringByAppendingPathComponent(const QString &base, const QString &component)
{
    // https is treated like http: appending an absolute address to a base
    // would give a URL that cannot exist.
    if (component.startsWith(u"http:") || component.startsWith(u"https:"))
        return component;
    const bool baseHasSlash = base.endsWith(u'/');
    const bool componentHasSlash = component.startsWith(u'/');
    if (baseHasSlash && componentHasSlash)
        return base + QStringView(component).mid(1);
    if (!baseHasSlash && !componentHasSlash)
        return base + u'/' + component;
    return base + component;
}

QString urlStringByDeletingLastPathComponent(const QString &urlString)
{
    const qsizetype slash = urlString.lastIndexOf(u'/');
    return urlString.left(slash + 1);
}
