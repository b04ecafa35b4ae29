#pragma once
// The pictures a PDF embeds, page by page, where they stand, with their bytes
// as the file holds them (a JPEG as it is; anything else decoded and kept as a
// lossless PNG). Poppler's own drawing finds them.
#include <QByteArray>
#include <QRectF>
#include <QString>
#include <vector>

namespace exchange {

struct EmbeddedImage {
    QRectF box; // in points, the origin at the page's top left
    QByteArray bytes;
};

// For each of the file's `pages` pages its pictures; one over `maxBytes` is left
// out, and the reading stops at `deadline` (ms since the epoch).
std::vector<std::vector<EmbeddedImage>> EmbeddedImages(const QString& path, int pages, qint64 maxBytes,
                                                       qint64 deadline);

} // namespace exchange
