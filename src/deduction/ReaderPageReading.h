#pragma once

#include <optional>

#include <QString>
#include <QStringList>

#include "deduction/ImageElement.h"

// What the deducers read on one reader page, gathered for a caller that
// checks a saved page (yomora-cli pages). A plain value.
struct ReaderPageReading {
    QStringList pages; // the page selector's values, as written, in page order
    bool isMatureContent = false;
    ImageElements images; // the manga images, each with its enclosing link
    // Only when the page was also read as a site's chapter cover page: the
    // reader page its link leads to, null when it has no such link.
    std::optional<QString> firstPageURLString;
};
