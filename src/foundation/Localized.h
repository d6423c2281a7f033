#pragma once

#include <QString>

// Every user-facing text passes through here, keyed by its English form.
// Only English ships, so the key comes back unchanged; a translation table
// would plug in at this one place.
QString localized(const QString &text);
QString localized(const char *text);
