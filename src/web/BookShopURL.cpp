#include "web/BookShopURL.h"

QUrl BookShopSearchURL(const QString &baseURL, const QString &bookTitle)
{
    const QString text = QStringLiteral("%1%2+manga&i=stripbooks").arg(baseURL, bookTitle);
    // Only what may not stand in an address is escaped (spaces, quotes,
    // non-ASCII letters as UTF-8); the address's own punctuation stays.
    const QByteArray escaped = text.toUtf8().toPercentEncoding(":/?&=+#%;@,$!*'()~");
    return QUrl::fromEncoded(escaped);
}
