#pragma once

// Whether any download is being fetched right now, asked of the shared
// context before work that must not race the download engine (zipping,
// deleting, importing, saving from the reader). A failed fetch shows the
// fatal alert and answers false.
// Thread contract: main thread only (the shared context).
bool IsDownloading();
