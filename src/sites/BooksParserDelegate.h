#pragma once

#include <QList>
#include <QString>

#include "sites/NavBook.h"
#include "web/HyperParserDelegate.h"

// Base of the book-list page parsers. Each site parser keeps a small state
// machine over the tokenizer's events and collects the books of the page in
// order; the fetcher reads navBooks() once the page has been parsed.
// Thread contract: used by the one thread that runs the tokenizer.
class BooksParserDelegate : public HyperParserDelegate
{
public:
    const QList<NavBook> &navBooks() const { return navBooks_; }
    QList<NavBook> takeNavBooks() { return std::move(navBooks_); }
    const QString &currentHRef() const { return currentHRef_; }

    // Parses a whole page with a fresh tokenizer; the operation, when given,
    // stops the parse once cancelled.
    void parsePage(const QString &html, class Operation *operation = nullptr);

protected:
    // The text of a link as a title: white space and line breaks trimmed.
    static QString titleFromText(QStringView text);
    // Adds the book for the pending link and clears the link.
    void addBook(const QString &title);

    QList<NavBook> navBooks_;
    QString currentHRef_;
};
