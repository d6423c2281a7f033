#pragma once

#include <functional>
#include <list>
#include <memory>
#include <vector>

#include <QString>

#include "foundation/OperationQueue.h"
#include "reader/PageImage.h"

// What to decode for one page: the file, the stored borders to cut with (or
// none), and the scale at which the page will be shown (shown pixels per
// file pixel), so a JPEG shown smaller than its pixels is decoded smaller.
struct PageImageRequest {
    QString fileName;
    bool cut = false;
    float leftBorder = 0;
    float rightBorder = 0;
    // 1 or more asks for full size.
    double shownScale = 1.0;
    // The page is known to hold no colour (measured when it arrived), so a
    // JPEG may be decoded straight to grey.
    bool gray = false;
    // Above 0: only this many rows from the top of the shown part (in the
    // file's pixels) are wanted, the ones on screen when a page first
    // appears. A JPEG then stops decoding below them (the decoder's work goes
    // with the rows it reads) and its page is not whole; the whole page is
    // asked for next. Such pages are never kept in the cache.
    int firstRows = 0;
};

// The top rows of a page while the decoder is still below them, for the
// screen to get ready with (scaling them) before the page comes; never to
// be shown as they are. The rows are cut as the page will be.
struct PageImageRows {
    QImage rows;
    // The shown part's size in the file's pixels, as PageImage::fullSize().
    QSize fullSize;
    // Rows of the whole page at the decoded scale.
    int decodedHeight = 0;
};

// Decodes page files off the main thread and keeps the few decoded pages the
// viewer needs at hand: the two page slots' and the next page's. A decoded
// page is found again by its file (name, size and time, so a rewritten file
// is decoded afresh), its cut, its decoding scale and whether it is grey.
// Failures, and pages decoded only in part, are never kept.
// Thread contract: main thread only; decoding runs on the loader's own
// queue and reports on the main thread; a cancelled or dropped request
// reports nothing.
class PageImageLoader
{
public:
    using Done = std::function<void(std::shared_ptr<const PageImage> page)>;
    using Progress = std::function<void(const PageImageRows &rows)>;

    // Three: two page slots and the next page.
    static constexpr int kCacheSize = 3;

    PageImageLoader();
    ~PageImageLoader();
    PageImageLoader(const PageImageLoader &) = delete;
    PageImageLoader &operator=(const PageImageLoader &) = delete;

    // Calls `done` with the page, null when the file does not decode: at
    // once when it is at hand, else later on the main thread. A newer load
    // for the same `owner` supersedes this one, which then never reports.
    // While the top of a grey page is decoded (`firstRows`), `progress`
    // gets the rows decoded so far, a few times, before `done`.
    void load(const void *owner, const PageImageRequest &request, Done done, Progress progress = {});
    // Decodes into the cache without reporting (the next page).
    void preload(const PageImageRequest &request);
    // Drops cached pages whose requests are not among `keep`.
    void retainOnly(const std::vector<PageImageRequest> &keep);
    // `owner` no longer waits for anything; what nobody else waits for is
    // cancelled (a page flipped away from before it was whole).
    void forget(const void *owner);
    void cancelAll();
    void clear();
    // Whether a decoded page for the request is at hand.
    bool isCached(const PageImageRequest &request) const;
    // Whether it is at hand or being decoded.
    bool isCachedOrPending(const PageImageRequest &request) const;

    // Reads, decodes, cuts. Null when the file is missing, does not decode
    // or has more pixels than the cropper accepts. Any thread; `progress`
    // is called on the same thread.
    static std::shared_ptr<const PageImage> decode(const PageImageRequest &request,
                                                   const Progress &progress = {});
    // The decoding scale used for a shown scale: for JPEG the smallest of
    // libjpeg-turbo's vectorised scaling factors (1/8, 1/4, 1/2, 1) not
    // below it.
    static double decodingScale(double shownScale);
    // Page files that decode() has opened in this process: what lets a
    // start-up check that it reads no page it does not show.
    static int fileReads();

private:
    struct Key {
        QString fileName;
        qint64 size = 0;
        qint64 modified = 0;
        bool cut = false;
        float left = 0, right = 0;
        double scale = 1;
        bool gray = false;
        int firstRows = 0;
        bool operator==(const Key &) const = default;
    };
    struct Entry {
        Key key;
        std::shared_ptr<const PageImage> page;
    };
    class DecodeOperation;
    struct Waiter;
    struct Pending;

    static Key keyFor(const PageImageRequest &request);
    std::shared_ptr<const PageImage> cached(const Key &key);
    void insert(const Key &key, std::shared_ptr<const PageImage> page);
    void start(const Key &key, const PageImageRequest &request);

    OperationQueue queue_{1};
    std::list<Entry> cache_; // most recently used first
    std::vector<std::shared_ptr<Pending>> pending_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
