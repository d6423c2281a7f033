#pragma once

#include <QList>
#include <QString>

#include "sites/NavBookInfo.h"
#include "sites/NavChapter.h"
#include "web/HyperParserDelegate.h"

// Base of the book-page parsers: gathers a book's chapters and details from
// the tokenizer's events. Plain data, no network or store: a parser is fed
// one page on one thread and read afterwards.
class ChaptersParserDelegate : public HyperParserDelegate
{
public:
    const QList<NavChapter> &navChapters() const { return navChapters_; }
    const NavBookInfo &navBookInfo() const { return navBookInfo_; }

    void foundCharacters(HyperParser &parser, QStringView text) override;
    void didStartElement(HyperParser &parser, QStringView name, const HyperAttributes &attributes) override;
    void didEndElement(HyperParser &parser, QStringView name) override;

protected:
    virtual void startElement(QStringView name, const HyperAttributes &attributes) = 0;
    virtual void endElement(QStringView name) { Q_UNUSED(name); }
    virtual void characters(const QString &text) = 0;

    QList<NavChapter> navChapters_;
    QString currentHRef_; // the chapter link being read; empty when none
    QString currentInfo_; // the detail text being collected
    NavBookInfo navBookInfo_;
};
