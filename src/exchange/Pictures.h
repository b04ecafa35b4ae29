#pragma once
// Pictures an import brings in, named by the SHA-256 of their bytes.
#include "exchange/Record.h"

#include <QString>

namespace exchange {

// The extension for bytes that are a picture we show (by their signature, not
// their name): "png", "jpg", "gif", "bmp", "webp"; empty when they are none.
QString PictureExt(const QByteArray& bytes);

// Adds the picture and answers the src the texts use ("../images/bank/<sha>.<ext>"),
// or an empty string with `error` set (not a picture, over the size limit).
QString AddPicture(Pictures& pictures, const QByteArray& bytes, const Limits& limits, QString* error);

// True for a name a bank may use as a picture file: 64 lower-case hex digits,
// a dot and a known extension. Anything else is never used as a file name.
bool IsPictureFileName(const QString& name);

} // namespace exchange
