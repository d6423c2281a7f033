#pragma once

#include <QStringView>

#include "web/HyperAttributes.h"

class HyperParser;

// Receives a page's events from HyperParser, in document order. Every method is
// optional: the defaults ignore the event.
//
// Text is exactly as the page has it: no character references decoded (see
// HyperParser::decode), no white space trimmed, names in the page's own case.
//
// Lifetime of the views: they point into the page text that the parser holds,
// so they stay valid while the parser lives, and attribute lists only during
// the callback. Anything a delegate keeps in its results must be copied
// (text.toString(), attributes.value(key), or QString's += and =).
//
// Thread contract: called on the thread that runs HyperParser::parse().
class HyperParserDelegate
{
public:
    virtual ~HyperParserDelegate() = default;

    virtual void foundCDATA(HyperParser &parser, QStringView text) {}
    virtual void foundComment(HyperParser &parser, QStringView text) {}
    virtual void foundCharacters(HyperParser &parser, QStringView text) {}
    virtual void didEndElement(HyperParser &parser, QStringView name) {}
    virtual void didStartElement(HyperParser &parser, QStringView name, const HyperAttributes &attributes) {}
};
