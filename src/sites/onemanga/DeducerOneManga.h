#pragma once

#include "deduction/Deducer.h"

// OneManga: the catalogue's chapter address leads to a cover page whose
// "Begin reading" link leads to the first reader page. Page images sit side
// by side under the names of the page selector's values, so their addresses
// are derived from the first image and only a few of them are probed.
//
// Thread contract: as Deducer.
class DeducerOneManga : public Deducer
{
public:
    using Deducer::Deducer;

    bool go() override;

    // Scheme and host of the address, or the whole address when it has none.
    static QString rootURLString(const QString &urlString);
    // The "Begin reading" link of a chapter cover page's text; null when it
    // has none. operation, when given, stops the parse once cancelled.
    static QString coverPageLink(const QString &text, Operation *operation = nullptr);
    // The reader page that the cover page at firstPageURLString links to,
    // joined to root; null with *error set when the page cannot be read or
    // has no such link.
    QString realFirstPageURLStringFromRootURLString(const QString &root, const QString &firstPageURLString,
                                                    OptionalError *error);
};
