#include "exchange/PdfImages.h"

#include <GfxState.h>
#include <GlobalParams.h>
#include <OutputDev.h>
#include <PDFDoc.h>
#include <Stream.h>

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QImage>
#include <algorithm>
#include <memory>

namespace exchange {
namespace {

// Poppler's drawing of a page, of which only the pictures are kept: where each
// stands (in points, the origin at the top left, as the text boxes are given)
// and its bytes.
class ImageCatcher : public OutputDev {
public:
    ImageCatcher(std::vector<EmbeddedImage>& out, qint64 maxBytes) : out_(out), maxBytes_(maxBytes) {}
    bool upsideDown() override { return true; }
    bool useDrawChar() override { return false; }
    bool interpretType3Chars() override { return false; }
    bool needNonText() override { return true; }
    void drawImage(GfxState* state, Object*, Stream* str, int width, int height, GfxImageColorMap* colorMap,
                   bool, const int*, bool inlineImg) override {
        take(state, str, width, height, colorMap, inlineImg);
    }
    void drawMaskedImage(GfxState* state, Object*, Stream* str, int width, int height,
                         GfxImageColorMap* colorMap, bool, Stream*, int, int, bool, bool) override {
        take(state, str, width, height, colorMap, false);
    }
    void drawSoftMaskedImage(GfxState* state, Object*, Stream* str, int width, int height,
                             GfxImageColorMap* colorMap, bool, Stream*, int, int, GfxImageColorMap*,
                             bool) override {
        take(state, str, width, height, colorMap, false);
    }

private:
    void take(GfxState* state, Stream* str, int width, int height, GfxImageColorMap* colorMap,
              bool inlineImg) {
        double xs[4], ys[4];
        state->transform(0, 0, &xs[0], &ys[0]);
        state->transform(1, 0, &xs[1], &ys[1]);
        state->transform(0, 1, &xs[2], &ys[2]);
        state->transform(1, 1, &xs[3], &ys[3]);
        const QRectF box(QPointF(*std::min_element(xs, xs + 4), *std::min_element(ys, ys + 4)),
                         QPointF(*std::max_element(xs, xs + 4), *std::max_element(ys, ys + 4)));
        QByteArray bytes;
        if (str->getKind() == strDCT && !inlineImg) {
            // A JPEG is taken as the file holds it.
            if (Stream* raw = str->getNextStream()) {
                raw->reset();
                for (int c; (c = raw->getChar()) != EOF;) {
                    if (bytes.size() >= maxBytes_) return;
                    bytes.append(static_cast<char>(c));
                }
                raw->close();
            }
        } else if (colorMap && width > 0 && height > 0 && qint64(width) * height <= 40'000'000) {
            // Anything else is decoded as the page shows it and kept losslessly.
            QImage image(width, height, QImage::Format_RGB888);
            ImageStream pixels(str, width, colorMap->getNumPixelComps(), colorMap->getBits());
            pixels.reset();
            for (int y = 0; y < height; ++y) {
                unsigned char* line = pixels.getLine();
                if (!line) break;
                colorMap->getRGBLine(line, image.scanLine(y), width);
            }
            pixels.close();
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
        }
        if (!bytes.isEmpty() && bytes.size() <= maxBytes_) out_.push_back({box, bytes});
    }

    std::vector<EmbeddedImage>& out_;
    qint64 maxBytes_;
};

bool pastDeadline(void* deadline) {
    return QDateTime::currentMSecsSinceEpoch() > *static_cast<qint64*>(deadline);
}
} // namespace

std::vector<std::vector<EmbeddedImage>> EmbeddedImages(const QString& path, int pages, qint64 maxBytes,
                                                       qint64 deadline) {
    static const bool initialised = [] {
        if (!globalParams) globalParams = std::make_unique<GlobalParams>();
        return true;
    }();
    (void)initialised;
    std::vector<std::vector<EmbeddedImage>> out(static_cast<size_t>(std::max(0, pages)));
    PDFDoc doc(std::make_unique<GooString>(QFile::encodeName(path).constData()));
    if (!doc.isOk() || doc.getNumPages() != pages) return out;
    for (int i = 0; i < pages; ++i) {
        if (QDateTime::currentMSecsSinceEpoch() > deadline) break;
        ImageCatcher catcher(out[static_cast<size_t>(i)], maxBytes);
        doc.displayPage(&catcher, i + 1, 72, 72, 0, true, false, false, pastDeadline, &deadline);
    }
    return out;
}

} // namespace exchange
