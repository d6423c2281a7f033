// Fuzzes the page cropper on arbitrary image bytes: decoding (JPEG through
// the grey decoder, anything else through QImage) and the margin search.
// Borders, when found, lie within the page.
#include "FuzzSupport.h"
#include "reader/Cropper.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    Cropper cropper(bytes);
    if (!cropper.crop())
        return 0;
    require(cropper.isDecoded() && cropper.width() > 0 && cropper.height() > 0, "cropped without a page");
    require(cropper.leftBorder() >= 0 && cropper.leftBorder() <= cropper.rightBorder(),
            "left border misplaced");
    require(cropper.rightBorder() <= float(cropper.width()), "right border beyond the page");
    return 0;
}
