#pragma once

#include <QString>
#include <QUrl>

// The outside book shop's search page for a manga: the shop's search base
// address (the setting "bookShopSearchBaseURL", ending in "?k=") followed by
// the title and "+manga&i=stripbooks", escaped as a browser would need it.
// Thread contract: a pure function, any thread.
QUrl BookShopSearchURL(const QString &baseURL, const QString &bookTitle);
