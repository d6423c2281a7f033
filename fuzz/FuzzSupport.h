#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <QString>

#include "web/HyperParser.h"
#include "web/HyperParserDelegate.h"

// Helpers shared by the fuzz targets (header-only: each target is one
// translation unit).

inline void require(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

// Arbitrary bytes as page text: the engine decodes fetched pages as UTF-8.
inline QString pageText(const uint8_t *data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}

// Runs one page parser over the text, as the fetchers do.
inline void parse(const QString &page, HyperParserDelegate &delegate)
{
    HyperParser parser(page);
    parser.setDelegate(&delegate);
    parser.parse();
}

// Every item a parser finds needs at least one tag of its own.
inline qsizetype tagCount(const QString &page)
{
    return page.count(u'<');
}
