#include "sites/NavBook.h"

QString TrimBlanks(const QString &text)
{
    auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && blank(text[begin]))
        ++begin;
    while (end > begin && blank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

NavBook::NavBook(const QString &title, const QString &urlString)
    : title_(TrimBlanks(title)), urlString_(urlString)
{}

QVariantMap NavBook::archive() const
{
    QVariantMap map;
    if (!title_.isNull())
        map.insert(QStringLiteral("title"), title_);
    if (!urlString_.isNull())
        map.insert(QStringLiteral("urlString"), urlString_);
    if (!rank_.isNull())
        map.insert(QStringLiteral("rank"), rank_);
    return map;
}

NavBook NavBook::unarchive(const QVariantMap &map)
{
    NavBook book;
    book.title_ = map.value(QStringLiteral("title")).toString();
    book.urlString_ = map.value(QStringLiteral("urlString")).toString();
    const QVariant rank = map.value(QStringLiteral("rank"));
    if (rank.isValid())
        book.rank_ = rank.toString();
    return book;
}
