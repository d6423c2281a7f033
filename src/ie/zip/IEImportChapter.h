#pragma once

#include <QString>
#include <QStringList>

#include "foundation/Decimal.h"

// One chapter found in an unpacked zip: the folder that holds its images and
// their paths in file-name order. The number and title are filled in before
// the chapter is written into the library.
struct IEImportChapter {
    QString baseName;
    QStringList pages;
    Decimal number = Decimal::notANumber();
    QString title;
};
