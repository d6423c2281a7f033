#pragma once

#include <plist/plist.h>

#include <QByteArray>

// Reads property lists that come from disk, where a damaged or hostile file
// must not end the program. The property-list library asserts on a
// dictionary key holding a NUL, overflows the stack on deeply nested
// containers, and expands a binary list whose objects share references into
// a tree that can grow exponentially with the file; such files are refused
// before the library sees them.
// Thread contract: any thread.
namespace PlistReader {

// The parsed list (the caller frees it with plist_free), or nullptr when the
// data is not a property list or is one of the files above.
plist_t read(const QByteArray &data);

// Whether the library can be handed the data safely.
bool isSafe(const QByteArray &data);

} // namespace PlistReader
