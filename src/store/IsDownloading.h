#pragma once

#include <memory>
#include <optional>
#include <vector>

class Download;

// Whether any download is being fetched right now, asked of the shared
// context before work that must not race the download engine (zipping,
// deleting, importing, saving from the reader). A failed fetch shows the
// fatal alert and answers false.
// Thread contract: main thread only (the shared context).
bool IsDownloading();

// Every download record of the shared context, or nothing after the fatal
// alert when the store cannot be read: the bulk actions and IsDownloading
// refuse rather than act on a partial list.
// Thread contract: main thread only (the shared context).
std::optional<std::vector<std::shared_ptr<Download>>> AllDownloadsOrFatalAlert();
