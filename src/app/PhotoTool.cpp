#include "app/PhotoTool.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <jpeglib.h>

namespace {
// Photos past this many pixels are refused rather than risking the memory.
constexpr qint64 kMaxPixels = 100'000'000;

// libjpeg reports errors through a callback that must not return; it jumps
// back to the setjmp of the function that called the library. Those functions
// keep only plain data on their stack, so the jump skips no destructor.
struct JpegError {
    jpeg_error_mgr pub;  // first member: libjpeg sees only this part
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool tooLarge;
};

void onError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<JpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings (a truncated scan, say) would go to stderr; the picture still decodes.
void onMessage(j_common_ptr, int) {}

void initError(JpegError& err, jpeg_error_mgr*& slot) {
    slot = jpeg_std_error(&err.pub);
    err.pub.error_exit = onError;
    err.pub.emit_message = onMessage;
    err.message[0] = '\0';
    err.tooLarge = false;
}

// Adobe writes CMYK inverted; every application reads it back that way.
void cmykRowToRgb(const JSAMPLE* cmyk, uchar* rgb, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        const int k = inverted ? cmyk[3] : 255 - cmyk[3];
        for (int c = 0; c < 3; ++c) {
            const int v = inverted ? cmyk[c] : 255 - cmyk[c];
            rgb[c] = static_cast<uchar>(v * k / 255);
        }
    }
}

// Fills *out, or returns false with err's message. Plain data only (see above).
bool decodeInto(const uchar* data, unsigned long size, QImage* out, JpegError* err) {
    jpeg_decompress_struct cinfo;
    initError(*err, cinfo.err);
    if (setjmp(err->jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    const bool grey = cinfo.jpeg_color_space == JCS_GRAYSCALE;
    cinfo.out_color_space = cmyk ? JCS_CMYK : grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    if (static_cast<qint64>(cinfo.output_width) * cinfo.output_height <= kMaxPixels)
        *out = QImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
                      grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    if (out->isNull()) {
        err->tooLarge = true;
        std::snprintf(err->message, sizeof err->message, "%u × %u", cinfo.output_width, cinfo.output_height);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    JSAMPARRAY cmykRow = cmyk ? (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                           cinfo.output_width * 4, 1)
                              : nullptr;
    while (cinfo.output_scanline < cinfo.output_height) {
        uchar* line = out->scanLine(static_cast<int>(cinfo.output_scanline));
        if (cmyk) {
            jpeg_read_scanlines(&cinfo, cmykRow, 1);
            cmykRowToRgb(cmykRow[0], line, cinfo.output_width, cinfo.saw_Adobe_marker);
        } else {
            JSAMPROW row = line;
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

bool encodeFrom(QImage* rgb, uchar** buffer, unsigned long* size, JpegError* err) {
    jpeg_compress_struct cinfo;
    initError(*err, cinfo.err);
    if (setjmp(err->jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, buffer, size);
    cinfo.image_width = static_cast<JDIMENSION>(rgb->width());
    cinfo.image_height = static_cast<JDIMENSION>(rgb->height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = rgb->scanLine(static_cast<int>(cinfo.next_scanline));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

bool looksLikeJpeg(const QByteArray& data) {
    return data.size() >= 3 && static_cast<uchar>(data[0]) == 0xFF && static_cast<uchar>(data[1]) == 0xD8 &&
           static_cast<uchar>(data[2]) == 0xFF;
}

QString tooLargeText(const char* size) { return QStringLiteral("图像太大（%1 像素）").arg(QString::fromUtf8(size)); }

// "无法打开照片“name”：reason。"
[[noreturn]] void cannotOpen(const QString& path, const QString& reason) {
    throw EPictureError(QStringLiteral("无法打开照片“%1”：%2。").arg(QFileInfo(path).fileName(), reason).toStdString());
}

QByteArray encodeJpeg(const QImage& image) {
    if (image.isNull()) throw EPictureError(QStringLiteral("没有可以保存的图像。").toStdString());
    QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    uchar* buffer = nullptr;
    unsigned long size = 0;
    JpegError err;
    const bool ok = encodeFrom(&rgb, &buffer, &size, &err);
    QByteArray bytes = ok ? QByteArray(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size)) : QByteArray();
    std::free(buffer);
    if (!ok) throw EPictureError(QStringLiteral("无法生成 JPEG 图像：%1。").arg(QString::fromUtf8(err.message)).toStdString());
    return bytes;
}
}  // namespace

QImage LoadPicture(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) cannotOpen(path, file.errorString());
    const QByteArray data = file.readAll();
    if (looksLikeJpeg(data)) {
        QImage image;
        JpegError err;
        if (!decodeInto(reinterpret_cast<const uchar*>(data.constData()), static_cast<unsigned long>(data.size()),
                        &image, &err))
            cannotOpen(path, err.tooLarge ? tooLargeText(err.message)
                                          : QStringLiteral("不是完整的 JPEG 图像（%1）").arg(QString::fromUtf8(err.message)));
        return image.convertToFormat(QImage::Format_RGB32);
    }
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    if (image.isNull())
        cannotOpen(path, QStringLiteral("不是可以识别的图片（%1）").arg(reader.errorString()));
    return image.convertToFormat(QImage::Format_RGB32);
}

void SaveJpeg(const QImage& image, const QString& path) {
    const QByteArray bytes = encodeJpeg(image);
    // Written beside the target and renamed over it: a failed write keeps the old file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw EPictureError(
            QStringLiteral("无法保存照片“%1”：%2。").arg(QFileInfo(path).fileName(), file.errorString()).toStdString());
}

QImage StretchInto(const QImage& source, QSize size) {
    return source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
