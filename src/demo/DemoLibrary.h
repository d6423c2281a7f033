#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <QString>

class AppData;
class Chapter;
class Download;

// A small library made up on the spot: a few books with a few chapters
// each, whose page files DemoPageImage draws and whose records carry the
// margins the cropper finds, as the page fetcher would have stored them.
// Screenshot scenes, screen tests and benchmarks open it instead of
// downloading anything.
// Thread contract: main thread only (the store's shared context).
class DemoLibrary
{
public:
    struct ChapterEntry {
        const char *bookTitle;
        const char *number; // a decimal, as the chapter lists print it
        int pages;
    };

    // The library's contents, in the order they are created.
    static const std::vector<ChapterEntry> &chapters();

    // Adds the books and chapters of chapters() to appData's store with
    // their page files, and saves. Drawing is the same for the same seed;
    // encoded pages are kept for the process, so a second library costs
    // only the file writes.
    static void create(AppData &appData, std::uint64_t seed = 7);

    // A download of the downloads book for `bookTitle` chapter `number`:
    // `fetched` of `pages` pages stored, the rest still waiting; marked as
    // downloading while pages wait. Saved.
    static std::shared_ptr<Download> createDownload(AppData &appData, const QString &bookTitle,
                                                    const QString &number, int pages, int fetched,
                                                    std::uint64_t seed = 7);

    // The stored chapter, or null.
    static std::shared_ptr<Chapter> chapter(AppData &appData, const QString &bookTitle,
                                            const QString &number);
};
