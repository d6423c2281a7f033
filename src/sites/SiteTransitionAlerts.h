#pragma once

// The notices shown once before a site moves to a new layout.
// Thread contract: main thread only (they show alerts).
void OneMangaAlert();
void MangaFoxAlert();
