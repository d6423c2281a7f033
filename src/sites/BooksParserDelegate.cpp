#include "sites/BooksParserDelegate.h"

#include "web/HyperParser.h"

void BooksParserDelegate::parsePage(const QString &html, Operation *operation)
{
    HyperParser parser(html);
    parser.setDelegate(this);
    parser.setOperationDelegate(operation);
    parser.parse();
}

QString BooksParserDelegate::titleFromText(QStringView text)
{
    return text.trimmed().toString();
}

void BooksParserDelegate::addBook(const QString &title)
{
    navBooks_.append(NavBook(title, currentHRef_));
    currentHRef_.clear();
}
