// Whatever bytes a file holds, the photo loader gives a picture within its
// limits or a reason, never both and never neither, and without running out
// of memory (libFuzzer's own limit stops a huge allocation).
#include "FuzzSupport.h"
#include "app/PhotoTool.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QString reason;
    const QImage image =
        DecodePicture(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), reason);
    FUZZ_CHECK(image.isNull() != reason.isEmpty(), "picture %d, reason \"%s\"", !image.isNull(),
               qPrintable(reason));
    if (!image.isNull()) {
        FUZZ_CHECK(qint64(image.width()) * image.height() <= kMaxPicturePixels, "%d × %d", image.width(),
                   image.height());
        FUZZ_CHECK(image.format() == QImage::Format_RGB32, "format %d", int(image.format()));
    }
    return 0;
}
