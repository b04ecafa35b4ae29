#include "app/PhotoTool.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jerror.h> // after jpeglib.h, which it needs
#include <jpeglib.h>
#include <string>

namespace {
// A progressive picture keeps all its coefficients while it is read: two
// bytes a sample, at most four samples a pixel (CMYK), and some room besides.
constexpr long kMaxJpegMemory = static_cast<long>(kMaxPicturePixels) * 8 + 64L * 1024 * 1024;
// A real progressive picture has about ten scans; a forged one can have
// thousands of tiny ones, each a pass over the whole coefficient buffer.
constexpr int kMaxScans = 1000;

enum class JpegFailure { None, Broken, TooLarge, Truncated, TooManyScans };

// libjpeg reports errors through a callback that must not return; it jumps
// back to the setjmp of the function that called the library. Those functions
// keep only plain data on their stack, so the jump skips no destructor.
struct JpegError {
    jpeg_error_mgr pub; // first member: libjpeg sees only this part
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    JpegFailure failure;
    bool finishing; // every row is read: a missing end marker loses nothing
};

[[noreturn]] void fail(j_common_ptr cinfo, JpegFailure failure) {
    auto* err = reinterpret_cast<JpegError*>(cinfo->err);
    err->failure = failure;
    std::longjmp(err->jump, 1);
}

void onError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<JpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    fail(cinfo, JpegFailure::Broken);
}

// Warnings would go to stderr. A file that ends before its last row would
// decode with the rest grey, so that one is an error; the others (stray bytes
// between markers) leave a usable picture.
void onMessage(j_common_ptr cinfo, int level) {
    if (level >= 0) return;
    auto* err = reinterpret_cast<JpegError*>(cinfo->err);
    ++err->pub.num_warnings;
    if (err->pub.msg_code == JWRN_JPEG_EOF && !err->finishing) fail(cinfo, JpegFailure::Truncated);
}

void onProgress(j_common_ptr cinfo) {
    if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
        fail(cinfo, JpegFailure::TooManyScans);
}

void initError(JpegError& err, jpeg_error_mgr*& slot) {
    slot = jpeg_std_error(&err.pub);
    err.pub.error_exit = onError;
    err.pub.emit_message = onMessage;
    err.message[0] = '\0';
    err.failure = JpegFailure::None;
    err.finishing = false;
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

bool tooLarge(qint64 width, qint64 height) {
    return width * height > kMaxPicturePixels;
}

// Fills *out, or returns false with err's failure. Plain data only (see above).
bool decodeInto(const uchar* data, unsigned long size, QImage* out, JpegError* err) {
    jpeg_decompress_struct cinfo;
    jpeg_progress_mgr progress;
    initError(*err, cinfo.err);
    if (setjmp(err->jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = kMaxJpegMemory;
    progress.progress_monitor = onProgress;
    cinfo.progress = &progress;
    jpeg_mem_src(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);
    // Before the library sizes its buffers by what the header claims.
    if (tooLarge(cinfo.image_width, cinfo.image_height)) {
        std::snprintf(err->message, sizeof err->message, "%u × %u", cinfo.image_width, cinfo.image_height);
        fail(reinterpret_cast<j_common_ptr>(&cinfo), JpegFailure::TooLarge);
    }
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    const bool grey = cinfo.jpeg_color_space == JCS_GRAYSCALE;
    cinfo.out_color_space = cmyk ? JCS_CMYK : grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    *out = QImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
                  grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    if (out->isNull()) {
        std::snprintf(err->message, sizeof err->message, "%u × %u", cinfo.output_width, cinfo.output_height);
        fail(reinterpret_cast<j_common_ptr>(&cinfo), JpegFailure::TooLarge);
    }
    JSAMPARRAY cmykRow = cmyk ? (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo),
                                                           JPOOL_IMAGE, cinfo.output_width * 4, 1)
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
    err->finishing = true;
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

QString tooLargeText(const QString& size) {
    return QStringLiteral("图像太大（%1 像素）").arg(size);
}

QString notAPictureText(const QString& why) {
    return QStringLiteral("不是可以识别的图片（%1）").arg(why);
}

QString jpegFailureText(const JpegError& err) {
    switch (err.failure) {
    case JpegFailure::TooLarge:
        return tooLargeText(QString::fromUtf8(err.message));
    case JpegFailure::Truncated:
        return QStringLiteral("JPEG 文件不完整（文件提前结束）");
    case JpegFailure::TooManyScans:
        return QStringLiteral("JPEG 图像的扫描超过 %1 次").arg(kMaxScans);
    case JpegFailure::Broken:
    case JpegFailure::None:
        break;
    }
    return QStringLiteral("不是完整的 JPEG 图像（%1）").arg(QString::fromUtf8(err.message));
}

QImage decodeJpeg(const QByteArray& bytes, QString& reason) {
    QImage image;
    JpegError err;
    if (!decodeInto(reinterpret_cast<const uchar*>(bytes.constData()),
                    static_cast<unsigned long>(bytes.size()), &image, &err)) {
        reason = jpegFailureText(err);
        return {};
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage decodeOther(const QByteArray& bytes, QString& reason) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // In megabytes: a 32-bit picture of the largest size.
    reader.setAllocationLimit(static_cast<int>(kMaxPicturePixels * 4 / (1024 * 1024)) + 1);
    const QSize size = reader.size();
    if (size.isValid() && tooLarge(size.width(), size.height())) {
        reason = tooLargeText(QStringLiteral("%1 × %2").arg(size.width()).arg(size.height()));
        return {};
    }
    const QImage image = reader.read();
    if (image.isNull()) {
        reason = notAPictureText(reader.errorString());
        return {};
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

// "无法打开照片“name”：reason。"
[[noreturn]] void cannotOpen(const QString& path, const QString& reason) {
    throw EPictureError(
        QStringLiteral("无法打开照片“%1”：%2。").arg(QFileInfo(path).fileName(), reason).toStdString());
}

QByteArray encodeJpeg(const QImage& image) {
    if (image.isNull()) throw EPictureError(QStringLiteral("没有可以保存的图像。").toStdString());
    QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    uchar* buffer = nullptr;
    unsigned long size = 0;
    JpegError err;
    const bool ok = encodeFrom(&rgb, &buffer, &size, &err);
    QByteArray bytes =
        ok ? QByteArray(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size)) : QByteArray();
    std::free(buffer);
    if (!ok)
        throw EPictureError(
            QStringLiteral("无法生成 JPEG 图像：%1。").arg(QString::fromUtf8(err.message)).toStdString());
    return bytes;
}
} // namespace

QImage DecodePicture(const QByteArray& bytes, QString& reason) {
    reason.clear();
    return looksLikeJpeg(bytes) ? decodeJpeg(bytes, reason) : decodeOther(bytes, reason);
}

QImage LoadPicture(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) cannotOpen(path, file.errorString());
    // Read whole only what starts as a picture and is no larger than one can be.
    if (!looksLikeJpeg(file.peek(3))) {
        QImageReader sniff(&file);
        if (!sniff.canRead()) cannotOpen(path, notAPictureText(sniff.errorString()));
    }
    if (file.size() > kMaxPictureFileBytes)
        cannotOpen(path, QStringLiteral("文件太大（%1 MB）").arg(file.size() / (1024 * 1024)));
    file.seek(0);
    QString reason;
    const QImage image = DecodePicture(file.readAll(), reason);
    if (image.isNull()) cannotOpen(path, reason);
    return image;
}

void SaveJpeg(const QImage& image, const QString& path) {
    const QByteArray bytes = encodeJpeg(image);
    // Written beside the target and renamed over it: a failed write keeps the old file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw EPictureError(QStringLiteral("无法保存照片“%1”：%2。")
                                .arg(QFileInfo(path).fileName(), file.errorString())
                                .toStdString());
}

QImage StretchInto(const QImage& source, QSize size) {
    return source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
