#include "reader/TurboJpeg.h"

#include <memory>

namespace {

struct TurboJpegDeleter {
    void operator()(void *handle) const
    {
        if (handle)
            tjDestroy(handle);
    }
};

} // namespace

tjhandle TurboJpeg::threadDecompressor()
{
    thread_local std::unique_ptr<void, TurboJpegDeleter> handle(tjInitDecompress());
    return handle.get();
}

bool TurboJpeg::looksLikeJpeg(const QByteArray &bytes)
{
    return bytes.size() >= 3 && uchar(bytes[0]) == 0xFF && uchar(bytes[1]) == 0xD8 && uchar(bytes[2]) == 0xFF;
}
