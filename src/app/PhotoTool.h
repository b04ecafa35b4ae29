#pragma once
// Pictures for the photo tool: JPEG is read and written with libjpeg, every
// other format is read through QImageReader.
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

// Reads a picture file; the format is decided by the content, not the name.
// JPEG in grey, colour or CMYK.
QImage LoadPicture(const QString& path);

// Writes the picture as a JPEG file (libjpeg's standard settings), replacing
// an existing one. The old file stays untouched when the new one cannot be written.
void SaveJpeg(const QImage& image, const QString& path);

// The whole picture stretched to exactly `size`; proportions are not kept.
QImage StretchInto(const QImage& source, QSize size);
