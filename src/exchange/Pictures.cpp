#include "exchange/Pictures.h"

#include <QCryptographicHash>
#include <QRegularExpression>

namespace exchange {

QString PictureExt(const QByteArray& b) {
    if (b.startsWith("\x89PNG\r\n\x1a\n")) return QStringLiteral("png");
    if (b.startsWith("\xff\xd8\xff")) return QStringLiteral("jpg");
    if (b.startsWith("GIF87a") || b.startsWith("GIF89a")) return QStringLiteral("gif");
    if (b.startsWith("BM") && b.size() > 14) return QStringLiteral("bmp");
    if (b.size() > 12 && b.startsWith("RIFF") && b.mid(8, 4) == "WEBP") return QStringLiteral("webp");
    return {};
}

QString AddPicture(Pictures& pictures, const QByteArray& bytes, const Limits& limits, QString* error) {
    if (bytes.size() > limits.maxPictureBytes) {
        if (error) *error = QStringLiteral("图片超过 %1 MB，不能导入").arg(limits.maxPictureBytes >> 20);
        return {};
    }
    const QString ext = PictureExt(bytes);
    if (ext.isEmpty()) {
        if (error) *error = QStringLiteral("不是可以显示的图片（只支持 PNG、JPEG、GIF、BMP、WebP）");
        return {};
    }
    const QString sha =
        QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    pictures.try_emplace(sha, Picture{bytes, ext});
    return QStringLiteral("../images/bank/") + sha + QLatin1Char('.') + ext;
}

bool IsPictureFileName(const QString& name) {
    static const QRegularExpression re(QStringLiteral("\\A[0-9a-f]{64}\\.(png|jpg|gif|bmp|webp)\\z"));
    return re.match(name).hasMatch();
}

} // namespace exchange
