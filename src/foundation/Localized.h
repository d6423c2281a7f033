#pragma once

#include <QString>
#include <QStringList>

// Every user-facing text passes through here, keyed by its English form.
// Only English ships, so the key comes back unchanged; a translation table
// would plug in at this one place.
QString localized(const QString &text);
QString localized(const char *text);

// Fills the placeholders of a message ("%@", "%d", "%qu") in order with the
// given texts: "Processing %d/%d" with {"3", "12"} gives "Processing 3/12".
QString withArguments(const QString &format, const QStringList &arguments);
