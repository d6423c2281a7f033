#include "sites/ChaptersParserDelegate.h"

void ChaptersParserDelegate::foundCharacters(HyperParser &, QStringView text)
{
    characters(text.toString());
}

void ChaptersParserDelegate::didStartElement(HyperParser &, QStringView name,
                                             const HyperAttributes &attributes)
{
    startElement(name, attributes);
}

void ChaptersParserDelegate::didEndElement(HyperParser &, QStringView name)
{
    endElement(name);
}
