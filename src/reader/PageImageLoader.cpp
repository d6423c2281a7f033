#include "reader/PageImageLoader.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <optional>

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <jpeglib.h>
#include <sys/stat.h>

#include "foundation/MainThread.h"
#include "foundation/Operation.h"
#include "reader/Cropper.h"
#include "reader/PageCut.h"
#include "reader/TurboJpeg.h"

namespace {

std::atomic<int> fileReadCount{0};

// The factors libjpeg-turbo decodes at directly, at most 1, largest first.
// Only those whose inverse transform the library vectorises (1/2, 1/4, 1/8):
// the others run its plain C transforms, and 3/8 measures as slow as a
// full-size decode, so a page shown at 0.3 comes sooner, and sharper, at 1/2.
const std::vector<tjscalingfactor> &downScalingFactors()
{
    static const std::vector<tjscalingfactor> factors = [] {
        int count = 0;
        const tjscalingfactor *all = tjGetScalingFactors(&count);
        std::vector<tjscalingfactor> result;
        for (int i = 0; i < count; ++i) {
            const bool vectorised = all[i].num == 1 && (all[i].denom == 1 || all[i].denom == 2 ||
                                                        all[i].denom == 4 || all[i].denom == 8);
            if (vectorised)
                result.push_back(all[i]);
        }
        std::sort(result.begin(), result.end(), [](const tjscalingfactor &a, const tjscalingfactor &b) {
            return double(a.num) / a.denom > double(b.num) / b.denom;
        });
        return result;
    }();
    return factors;
}

tjscalingfactor factorFor(double shownScale)
{
    tjscalingfactor chosen{1, 1};
    for (const tjscalingfactor &factor : downScalingFactors()) {
        if (double(factor.num) / factor.denom + 1e-9 >= shownScale)
            chosen = factor;
    }
    return chosen;
}

struct Decoded {
    QImage image;
    QSize fullSize;
    double scale = 1;
    bool whole = true;
    // Rows of the whole decode, of which a page decoded in part has fewer.
    int height = 0;
};

// libjpeg reports a fatal error by calling error_exit, which must not
// return: it jumps back to the decode, which gives up.
struct JumpingErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void jumpBack(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JumpingErrors *>(info->err)->jump, 1);
}

// Warnings (a truncated file) leave a whole picture, as with TurboJPEG.
void ignoreMessage(j_common_ptr, int) {}

// The columns [left, right) of the top `height` rows of `owner`, sharing
// its pixels rather than copying them: a page's worth of memory moved for
// nothing on every flip. Const access only, so that the rows below can
// still be written through the buffer while these are read elsewhere.
QImage sharedRows(const QImage &owner, int left, int right, int height)
{
    auto *keep = new QImage(owner);
    const int bytesPerPixel = keep->depth() / 8;
    return QImage(
        keep->constBits() + qsizetype(left) * bytesPerPixel, right - left, height, keep->bytesPerLine(),
        keep->format(), [](void *image) { delete static_cast<QImage *>(image); }, keep);
}

// The columns of a decoded page that the request's cut keeps, and the shown
// part's size in the file's pixels. The cut is reckoned in the file's
// pixels and then scaled, so a page decoded small shows the same part as
// one at full size.
struct KeptColumns {
    int left;
    int right;
    QSize fullSize;
};

KeptColumns keptColumns(const PageImageRequest &request, QSize fullSize, double scale, int width)
{
    if (!request.cut)
        return {0, width, fullSize};
    const QRect full = PageCutRect(request.leftBorder, request.rightBorder, fullSize);
    if (full.size() == fullSize)
        return {0, width, fullSize};
    const int left = std::clamp(int(std::floor(full.left() * scale)), 0, width - 1);
    const int right = std::clamp(int(std::ceil((full.left() + full.width()) * scale)), left + 1, width);
    return {left, right, full.size()};
}

// Hands the rows decoded so far to `progress` at each quarter of a top
// rows decode.
class RowsReport
{
public:
    RowsReport(const PageImageLoader::Progress &progress, const QImage &image, KeptColumns kept,
               int decodedHeight, int rows)
        : progress_(progress), image_(image), kept_(kept), decodedHeight_(decodedHeight), step_(rows / 4),
          next_(step_)
    {}
    void rowsDecoded(int rows)
    {
        // The last quarter comes with the page itself.
        if (step_ < 1 || rows < next_ || next_ > 3 * step_)
            return;
        next_ += step_;
        progress_({sharedRows(image_, kept_.left, kept_.right, rows), kept_.fullSize, decodedHeight_});
    }

private:
    const PageImageLoader::Progress &progress_;
    const QImage &image_;
    KeptColumns kept_;
    int decodedHeight_;
    int step_;
    int next_;
};

// The top `rows` rows of the decode at 1/`denominator` into the rows at
// `bits`, `width` pixels wide. TurboJPEG decodes only whole images; the
// library beneath it reads rows on demand, and what is never read is never
// entropy-decoded. Nothing here may need destroying when the error jump
// skips it.
bool decodeTopRows(const QByteArray &bytes, int denominator, bool grey, int rows, int width, uchar *bits,
                   qsizetype bytesPerLine, RowsReport *report)
{
    jpeg_decompress_struct info;
    JumpingErrors errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jumpBack;
    errors.manager.emit_message = ignoreMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.scale_num = 1;
    info.scale_denom = unsigned(denominator);
    info.out_color_space = grey ? JCS_GRAYSCALE : JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    const bool fits = int(info.output_width) == width && info.output_components == (grey ? 1 : 4);
    while (fits && int(info.output_scanline) < rows) {
        JSAMPROW row = bits + qsizetype(info.output_scanline) * bytesPerLine;
        jpeg_read_scanlines(&info, &row, 1);
        if (report)
            report->rowsDecoded(int(info.output_scanline));
    }
    jpeg_destroy_decompress(&info);
    return fits;
}

bool decodeJpeg(const QByteArray &bytes, const PageImageRequest &request,
                const PageImageLoader::Progress &progress, Decoded *out)
{
    tjhandle decompressor = TurboJpeg::threadDecompressor();
    if (!decompressor)
        return false;
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    const auto size = static_cast<unsigned long>(bytes.size());
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(decompressor, data, size, &width, &height, &subsampling, &colorspace) != 0)
        return false;
    if (width < 1 || height < 1 || colorspace == TJCS_CMYK || colorspace == TJCS_YCCK)
        return false;
    if (quint64(width) * quint64(height) > Cropper::kMaxPixels) {
        out->image = QImage();
        return true; // refused, not to be tried again another way
    }
    const tjscalingfactor factor = factorFor(request.shownScale);
    const int scaledWidth = TJSCALED(width, factor);
    const int scaledHeight = TJSCALED(height, factor);
    // Scans are often grey, saved so or measured so on arrival: a quarter of
    // the memory, and neither the chroma transforms nor colour conversion,
    // which are a third of a decode.
    const bool grey = colorspace == TJCS_GRAY || (request.gray && colorspace == TJCS_YCbCr);
    const QImage::Format format = grey ? QImage::Format_Grayscale8 : QImage::Format_RGB32;
    // A row more than the shown ones, for the resampling below the last.
    const int rows = request.firstRows > 0
                         ? int(std::ceil(request.firstRows * double(factor.num) / factor.denom)) + 1
                         : scaledHeight;
    if (rows < scaledHeight && factor.num == 1) {
        QImage top(scaledWidth, rows, format);
        if (top.isNull())
            return true;
        // Written through its bits alone: the rows reported meanwhile share
        // the buffer, and any other write access would copy it.
        uchar *bits = top.bits();
        std::optional<RowsReport> report;
        if (progress && grey)
            report.emplace(progress, top,
                           keptColumns(request, QSize(width, height), double(scaledWidth) / width, scaledWidth),
                           scaledHeight, rows);
        if (decodeTopRows(bytes, factor.denom, grey, rows, scaledWidth, bits, top.bytesPerLine(),
                          report ? &*report : nullptr)) {
            out->image = std::move(top);
            out->fullSize = QSize(width, height);
            out->scale = double(scaledWidth) / width;
            out->whole = false;
            out->height = scaledHeight;
            return true;
        }
    }
    QImage image(scaledWidth, scaledHeight, format);
    if (image.isNull())
        return true;
    // A warning (a truncated file) still leaves a whole picture, as other
    // readers would show it.
    if (tjDecompress2(decompressor, data, size, image.bits(), scaledWidth, int(image.bytesPerLine()),
                      scaledHeight, grey ? TJPF_GRAY : TJPF_BGRX, 0) != 0 &&
        tjGetErrorCode(decompressor) == TJERR_FATAL)
        return false;
    out->image = std::move(image);
    out->fullSize = QSize(width, height);
    out->scale = double(scaledWidth) / width;
    out->height = scaledHeight;
    return true;
}

bool decodeOther(const QByteArray &bytes, Decoded *out)
{
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return false;
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isValid() && quint64(size.width()) * quint64(size.height()) > Cropper::kMaxPixels)
        return false;
    reader.setAllocationLimit(int(Cropper::kMaxPixels * 4 / (1024 * 1024)) + 1);
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return false;
    // Whole pixels the cut can share rows of, whatever the file held.
    if (image.depth() != 32)
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (quint64(image.width()) * quint64(image.height()) > Cropper::kMaxPixels)
        return false;
    out->fullSize = image.size();
    out->height = image.height();
    out->image = std::move(image);
    out->scale = 1;
    return true;
}

} // namespace

class PageImageLoader::DecodeOperation : public Operation
{
public:
    DecodeOperation(PageImageRequest request, std::function<void(std::shared_ptr<const PageImage>)> report,
                    Progress progress)
        : request_(std::move(request)), report_(std::move(report)), progress_(std::move(progress))
    {}

    void main() override
    {
        Progress progress;
        if (request_.firstRows > 0) {
            progress = [this](const PageImageRows &rows) {
                if (!isCancelled())
                    performOnMain([report = progress_, rows] { report(rows); });
            };
        }
        auto page = PageImageLoader::decode(request_, progress);
        if (isCancelled())
            return;
        performOnMain([report = report_, page = std::move(page)]() mutable { report(std::move(page)); });
    }

private:
    PageImageRequest request_;
    std::function<void(std::shared_ptr<const PageImage>)> report_;
    Progress progress_;
};

struct PageImageLoader::Waiter {
    const void *owner;
    Done done;
    Progress progress;
};

struct PageImageLoader::Pending {
    Key key;
    std::shared_ptr<DecodeOperation> operation;
    std::vector<Waiter> waiters;
};

PageImageLoader::PageImageLoader() = default;

PageImageLoader::~PageImageLoader()
{
    *alive_ = false;
    queue_.cancelAllOperations();
    queue_.waitUntilAllOperationsAreFinished();
}

double PageImageLoader::decodingScale(double shownScale)
{
    const tjscalingfactor factor = factorFor(shownScale);
    return double(factor.num) / factor.denom;
}

int PageImageLoader::fileReads()
{
    return fileReadCount.load(std::memory_order_relaxed);
}

std::shared_ptr<const PageImage> PageImageLoader::decode(const PageImageRequest &request,
                                                        const Progress &progress)
{
    fileReadCount.fetch_add(1, std::memory_order_relaxed);
    QFile file(request.fileName);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const QByteArray bytes = file.readAll();
    file.close();

    Decoded decoded;
    bool handled = TurboJpeg::looksLikeJpeg(bytes) && decodeJpeg(bytes, request, progress, &decoded);
    if (!handled)
        handled = decodeOther(bytes, &decoded);
    if (!handled || decoded.image.isNull())
        return nullptr;

    const KeptColumns kept = keptColumns(request, decoded.fullSize, decoded.scale, decoded.image.width());
    if (kept.right - kept.left != decoded.image.width())
        decoded.image = sharedRows(decoded.image, kept.left, kept.right, decoded.image.height());
    return std::make_shared<const PageImage>(std::move(decoded.image), kept.fullSize, decoded.scale,
                                             decoded.whole, decoded.height);
}

PageImageLoader::Key PageImageLoader::keyFor(const PageImageRequest &request)
{
    Key key;
    key.fileName = request.fileName;
    // A plain stat: a page is keyed several times on its way to the screen,
    // and QFileInfo costs four times as much.
    struct stat status {};
    if (::stat(QFile::encodeName(request.fileName).constData(), &status) == 0) {
        key.size = status.st_size;
        key.modified = qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    }
    key.cut = request.cut;
    if (request.cut) {
        key.left = request.leftBorder;
        key.right = request.rightBorder;
    }
    key.scale = decodingScale(request.shownScale);
    key.gray = request.gray;
    key.firstRows = request.firstRows;
    return key;
}

std::shared_ptr<const PageImage> PageImageLoader::cached(const Key &key)
{
    for (auto it = cache_.begin(); it != cache_.end(); ++it) {
        if (it->key == key) {
            cache_.splice(cache_.begin(), cache_, it);
            return cache_.front().page;
        }
    }
    return nullptr;
}

bool PageImageLoader::isCached(const PageImageRequest &request) const
{
    const Key key = keyFor(request);
    return std::any_of(cache_.begin(), cache_.end(), [&](const Entry &entry) { return entry.key == key; });
}

bool PageImageLoader::isCachedOrPending(const PageImageRequest &request) const
{
    const Key key = keyFor(request);
    return std::any_of(cache_.begin(), cache_.end(), [&](const Entry &entry) { return entry.key == key; }) ||
           std::any_of(pending_.begin(), pending_.end(), [&](const auto &pending) { return pending->key == key; });
}

void PageImageLoader::insert(const Key &key, std::shared_ptr<const PageImage> page)
{
    cache_.remove_if([&](const Entry &entry) { return entry.key == key; });
    cache_.push_front({key, std::move(page)});
    while (int(cache_.size()) > kCacheSize)
        cache_.pop_back();
}

void PageImageLoader::load(const void *owner, const PageImageRequest &request, Done done, Progress progress)
{
    for (const auto &pending : pending_) {
        auto &waiters = pending->waiters;
        waiters.erase(std::remove_if(waiters.begin(), waiters.end(),
                                     [owner](const Waiter &waiter) { return waiter.owner == owner; }),
                      waiters.end());
    }
    const Key key = keyFor(request);
    if (auto page = cached(key)) {
        done(std::move(page));
        return;
    }
    for (const auto &pending : pending_) {
        if (pending->key == key) {
            pending->waiters.push_back({owner, std::move(done), std::move(progress)});
            return;
        }
    }
    start(key, request);
    pending_.back()->waiters.push_back({owner, std::move(done), std::move(progress)});
}

void PageImageLoader::preload(const PageImageRequest &request)
{
    const Key key = keyFor(request);
    if (cached(key))
        return;
    for (const auto &pending : pending_) {
        if (pending->key == key)
            return;
    }
    start(key, request);
}

void PageImageLoader::start(const Key &key, const PageImageRequest &request)
{
    auto pending = std::make_shared<Pending>();
    pending->key = key;
    std::weak_ptr<bool> alive = alive_;
    Pending *raw = pending.get();
    // A request dropped meanwhile (cancelled, cleared) is no longer in the
    // list and reports nothing.
    auto find = [this, alive, raw]() -> std::shared_ptr<Pending> {
        const auto living = alive.lock();
        if (!living || !*living)
            return nullptr;
        auto it = std::find_if(pending_.begin(), pending_.end(),
                               [raw](const auto &candidate) { return candidate.get() == raw; });
        return it == pending_.end() ? nullptr : *it;
    };
    auto report = [this, find](std::shared_ptr<const PageImage> page) {
        const std::shared_ptr<Pending> done = find();
        if (!done)
            return;
        pending_.erase(std::find(pending_.begin(), pending_.end(), done));
        // The top of a page is shown once, until the whole page comes.
        if (page && page->isWhole())
            insert(done->key, page);
        for (auto &waiter : done->waiters)
            waiter.done(page);
    };
    auto progress = [find](const PageImageRows &rows) {
        if (const std::shared_ptr<Pending> going = find()) {
            // A copy: a waiter may load anew from its report.
            const std::vector<Waiter> waiters = going->waiters;
            for (const auto &waiter : waiters) {
                if (waiter.progress)
                    waiter.progress(rows);
            }
        }
    };
    pending->operation = std::make_shared<DecodeOperation>(request, std::move(report), std::move(progress));
    pending_.push_back(pending);
    queue_.addOperation(pending->operation);
}

void PageImageLoader::retainOnly(const std::vector<PageImageRequest> &keep)
{
    std::vector<Key> keys;
    for (const auto &request : keep)
        keys.push_back(keyFor(request));
    cache_.remove_if(
        [&](const Entry &entry) { return std::find(keys.begin(), keys.end(), entry.key) == keys.end(); });
    // Preloads nobody waits for any more are not worth finishing.
    pending_.erase(std::remove_if(pending_.begin(), pending_.end(),
                                  [&](const std::shared_ptr<Pending> &pending) {
                                      if (!pending->waiters.empty() ||
                                          std::find(keys.begin(), keys.end(), pending->key) != keys.end())
                                          return false;
                                      pending->operation->cancel();
                                      return true;
                                  }),
                   pending_.end());
}

void PageImageLoader::forget(const void *owner)
{
    pending_.erase(std::remove_if(pending_.begin(), pending_.end(),
                                  [owner](const std::shared_ptr<Pending> &pending) {
                                      auto &waiters = pending->waiters;
                                      const auto before = waiters.size();
                                      waiters.erase(std::remove_if(waiters.begin(), waiters.end(),
                                                                   [owner](const Waiter &waiter) {
                                                                       return waiter.owner == owner;
                                                                   }),
                                                    waiters.end());
                                      if (waiters.size() == before || !waiters.empty())
                                          return false;
                                      pending->operation->cancel();
                                      return true;
                                  }),
                   pending_.end());
}

void PageImageLoader::cancelAll()
{
    for (const auto &pending : pending_)
        pending->operation->cancel();
    pending_.clear();
}

void PageImageLoader::clear()
{
    cancelAll();
    cache_.clear();
}
