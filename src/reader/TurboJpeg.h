#pragma once

#include <turbojpeg.h>

#include <QByteArray>

// What the cropper and the page decoder share of libjpeg-turbo.
// Thread contract: any thread; each thread has a decompressor of its own.
class TurboJpeg
{
public:
    // A handle must not be shared between threads, and making one per page
    // costs more than reading a small page's header: one per thread, kept.
    static tjhandle threadDecompressor();
    // The JPEG signature, so other formats go to Qt's readers at once.
    static bool looksLikeJpeg(const QByteArray &bytes);
};
