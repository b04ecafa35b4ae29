#pragma once
// Pictures for the photo tool: JPEG is read and written with libjpeg, every
// other format is read through QImageReader.
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <stdexcept>

// A file that cannot be read as a picture, or a photo that cannot be written.
// The text is the message the user sees.
class EPictureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The largest picture the tool takes, 8000 × 8000 or the same area in any
// shape. It shows a 110 × 140 corner of it and stretches it into at most
// 120 × 140, yet holds it several times over while doing so (the decoded rows,
// the 32-bit copy, the pixmap, and for a progressive JPEG all its
// coefficients): about 20 bytes a pixel, so this bounds the tool at about a
// gigabyte, and it is more than a camera's own pictures need.
constexpr qint64 kMaxPicturePixels = 64LL * 1000 * 1000;
// A file larger than this is refused unread: room for an uncompressed 32-bit
// bitmap of the largest picture, with headers.
constexpr qint64 kMaxPictureFileBytes = kMaxPicturePixels * 4 + 16 * 1024 * 1024;

// Decodes a picture held in memory; the format is decided by the content.
// JPEG in grey, colour or CMYK. On failure the image is null and `reason`
// says why, as the text after "无法打开照片“name”：".
QImage DecodePicture(const QByteArray& bytes, QString& reason);

// Reads a picture file through DecodePicture, after looking at its first
// bytes and its size; throws EPictureError with the message to show.
QImage LoadPicture(const QString& path);

// Writes the picture as a JPEG file (libjpeg's standard settings), replacing
// an existing one. The old file stays untouched when the new one cannot be written.
void SaveJpeg(const QImage& image, const QString& path);

// The whole picture stretched to exactly `size`; proportions are not kept.
QImage StretchInto(const QImage& source, QSize size);
