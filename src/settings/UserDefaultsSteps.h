#pragma once

#include <QList>
#include <QVariantMap>

class MyUserDefaults;

// The start-up and save steps of the settings, for the application delegate.
// Main thread only, like MyUserDefaults.

// Every key's registered default; "cropPage" and "portraitPageSize" differ
// between phone and tablet layouts.
QVariantMap defaultUserDefaults(bool isPad);

// Start-up, after setFilename(): registers the defaults for the current
// device, marks every help notice as not yet viewed in this run, empties the
// cache while a one-shot upgrade flag is set, and returns the library
// position to restore (book row, chapter row). After a run that did not end
// cleanly the position is (-1, -1) and "downloadsRestoreLocation" is reset
// to -1, so a crash cannot reopen the screen that caused it. Nothing is
// written to the file.
QList<int> loadUserDefaults(MyUserDefaults &defaults);

// Leaving the foreground and termination: clears the upgrade flags, stores
// the selected tab and the library position, marks a clean end, and writes.
void saveUserDefaults(MyUserDefaults &defaults, int selectedTabIndex, const QList<int> &booksRestoreLocation);

// Removes every entry of the cache directory; errors are ignored, since a
// stale cache is only refetched.
void cleanCache();
