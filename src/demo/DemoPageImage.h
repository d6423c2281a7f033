#pragma once

#include <cstdint>

#include <QByteArray>
#include <QImage>

// Where a generated page's drawing sits: the white margins around it are
// what the reader's cropper should find.
struct DemoPageGeometry {
    int width = 0;
    int height = 0;
    int left = 0; // white columns at the left edge
    int right = 0;
    int top = 0;
    int bottom = 0;
    bool frame = false; // a thin line around the drawing
};

// Page images that look like scanned manga pages: white side margins of
// varying width, dark panels, speech bubbles with text-like strokes, and the
// page number drawn at the foot. Everything follows from the seed and the
// page's keys, so a page is the same however often it is asked for.
// Thread contract: pure functions, any thread.
class DemoPageImage
{
public:
    static DemoPageGeometry geometry(std::uint64_t seed, int book, int chapter, int page);
    static QImage render(std::uint64_t seed, int book, int chapter, int page);
    // JPEG or PNG bytes of the page.
    static QByteArray encoded(std::uint64_t seed, int book, int chapter, int page, bool png);
    // A small cover picture (JPEG).
    static QByteArray cover(std::uint64_t seed, int book);
};
