#include "exchange/Zip.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/unzip.h>

using namespace Qt::StringLiterals;

namespace exchange {

Zip::Zip(const Limits& limits, const QString& kind) : limits_(limits), kind_(kind) {}

Zip::~Zip() = default;

QString Zip::NotValid() const {
    return u"文件不是有效的 "_s + kind_;
}

QString Zip::TooBig() {
    return u"文件太大或解压后过大，已拒绝"_s;
}

bool Zip::Open(const QString& path, QString* error) {
    const auto fail = [error](const QString& message) {
        if (error) *error = message;
        return false;
    };
    const QFileInfo info(path);
    if (!info.exists()) return fail(u"找不到文件：%1"_s.arg(QDir::toNativeSeparators(path)));
    if (!info.isFile()) return fail(NotValid());
    if (info.size() > limits_.maxFileBytes) return fail(TooBig());
    zip_ = std::make_unique<QuaZip>(path);
    if (!zip_->open(QuaZip::mdUnzip)) return fail(NotValid());
    const QString tooMany = u"文件中的条目太多（超过 %1 个），已拒绝"_s.arg(limits_.maxEntries);
    // Counted as listed: the count the directory claims may lie (or not fit
    // in an int). Walking also fills QuaZip's own name map, so later lookups
    // do not scan the directory again.
    int count = 0;
    for (bool more = zip_->goToFirstFile(); more; more = zip_->goToNextFile()) {
        if (++count > limits_.maxEntries) return fail(tooMany);
        names_.insert(zip_->getCurrentFileName());
    }
    if (zip_->getZipError() != UNZ_OK || count == 0) return fail(NotValid());
    return true;
}

std::unique_ptr<ZipEntry> Zip::OpenEntry(const QString& name, QString* error) {
    const auto fail = [error](const QString& message) {
        if (error) *error = message;
        return std::unique_ptr<ZipEntry>();
    };
    if (!zip_ || !names_.contains(name)) return fail(NotValid() + u"：缺少 %1"_s.arg(name));
    // QuaZip has one current entry; a second reader would steal the first's stream.
    Q_ASSERT(!open_);
    if (open_) return fail(NotValid());
    if (!zip_->setCurrentFile(name, QuaZip::csSensitive)) return fail(NotValid());
    std::unique_ptr<ZipEntry> entry(new ZipEntry(*this, limits_.maxEntryBytes));
    // Fails for an encrypted entry or a method zlib does not know.
    if (!entry->file_->open(QIODevice::ReadOnly)) return fail(NotValid() + u"：无法读取 %1"_s.arg(name));
    entry->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    open_ = entry.get();
    return entry;
}

bool Zip::ReadEntry(const QString& name, qint64 maxBytes, QByteArray& bytes, QString* error) {
    bytes.clear();
    const std::unique_ptr<ZipEntry> entry = OpenEntry(name, error);
    if (!entry) return false;
    entry->maxBytes_ = std::min(maxBytes, limits_.maxEntryBytes);
    char chunk[1 << 16];
    for (qint64 n; (n = entry->read(chunk, sizeof chunk)) > 0;)
        bytes.append(chunk, n);
    if (!entry->Error().isEmpty()) {
        if (error) *error = entry->Error();
        bytes.clear();
        return false;
    }
    return true;
}

ZipEntry::ZipEntry(Zip& zip, qint64 maxBytes)
    : zip_(zip), file_(std::make_unique<QuaZipFile>(zip.zip_.get())), maxBytes_(maxBytes) {}

ZipEntry::~ZipEntry() {
    if (zip_.open_ == this) zip_.open_ = nullptr;
}

qint64 ZipEntry::readData(char* data, qint64 maxSize) {
    if (!error_.isEmpty() || ended_) return -1;
    const qint64 n = file_->read(data, maxSize);
    if (n < 0) {
        error_ = zip_.NotValid();
        return -1;
    }
    if (n == 0) {
        ended_ = true;
        // Closing checks the CRC: a header that lied about the size cuts the
        // data short, and that shows here.
        file_->close();
        if (file_->getZipError() != UNZ_OK) error_ = zip_.NotValid();
        return -1;
    }
    read_ += n;
    zip_.total_ += n;
    if (read_ > maxBytes_ || zip_.total_ > zip_.limits_.maxTotalBytes) {
        const auto size = [](qint64 bytes) {
            return bytes >= (1 << 20) ? QStringLiteral("%1 MB").arg(bytes >> 20)
                                      : QStringLiteral("%1 KB").arg(bytes >> 10);
        };
        error_ = Zip::TooBig() + QStringLiteral("（一个部件解压后最多 %1，全部最多 %2）")
                                     .arg(size(maxBytes_), size(zip_.limits_.maxTotalBytes));
        return -1;
    }
    return n;
}

XmlEntry::XmlEntry(Zip& zip, const QString& name) : zip_(zip) {
    entry_ = zip.OpenEntry(name, &error_);
    if (entry_) xml_.setDevice(entry_.get());
}

bool XmlEntry::ReadNext() {
    if (!entry_ || done_) return false;
    if (!Next()) {
        done_ = true;
        return false;
    }
    return true;
}

bool XmlEntry::Next() {
    switch (xml_.readNext()) {
    case QXmlStreamReader::StartElement:
        if (++depth_ > zip_.limits().maxXmlDepth) {
            error_ = zip_.NotValid() + u"：XML 嵌套过深"_s;
            return false;
        }
        return true;
    case QXmlStreamReader::EndElement:
        --depth_;
        return true;
    case QXmlStreamReader::DTD:
    case QXmlStreamReader::EntityReference:
        // Office never writes a DTD; one here is there to declare entities.
        error_ = zip_.NotValid() + u"：含有 DTD，已拒绝"_s;
        return false;
    case QXmlStreamReader::EndDocument:
        error_ = entry_->Error();
        return false;
    case QXmlStreamReader::Invalid:
        error_ = entry_->Error().isEmpty() ? zip_.NotValid() : entry_->Error();
        return false;
    default:
        return true;
    }
}

bool XmlEntry::ReadRoot(QLatin1StringView localName) {
    while (ReadNext()) {
        if (!xml_.isStartElement()) continue;
        if (xml_.name() == localName) return true;
        break;
    }
    if (error_.isEmpty()) error_ = zip_.NotValid();
    done_ = true;
    return false;
}

bool XmlEntry::AppendText(QString& text) {
    const int depth = depth_;
    while (ReadNext()) {
        if (xml_.isCharacters())
            text += xml_.text();
        else if (xml_.isEndElement() && depth_ < depth)
            return true;
    }
    return false;
}

bool XmlEntry::Skip() {
    const int depth = depth_;
    while (ReadNext())
        if (xml_.isEndElement() && depth_ < depth) return true;
    return false;
}

QStringView Attr(const QXmlStreamAttributes& attributes, QLatin1StringView localName) {
    for (const QXmlStreamAttribute& a : attributes)
        if (a.name() == localName) return a.value();
    return {};
}

QString ResolveTarget(const QString& base, QStringView target) {
    QStringList parts;
    if (!target.startsWith(u'/')) {
        parts = base.split(u'/');
        parts.removeLast();
    }
    for (const QStringView part : target.split(u'/')) {
        if (part.isEmpty() || part == u".") continue;
        if (part == u"..") {
            if (parts.isEmpty()) return {};
            parts.removeLast();
        } else {
            parts.append(part.toString());
        }
    }
    return parts.join(u'/');
}

bool ReadRelationships(Zip& zip, const QString& part, QHash<QString, Relationship>& relationships,
                       QString* error) {
    const qsizetype slash = part.lastIndexOf(u'/');
    const QString name = part.left(slash + 1) + u"_rels/"_s + part.mid(slash + 1) + u".rels"_s;
    if (!zip.Contains(name)) return true;
    XmlEntry xml(zip, name);
    while (xml.ReadNext()) {
        QXmlStreamReader& r = xml.Xml();
        if (!r.isStartElement() || r.name() != u"Relationship") continue;
        const QXmlStreamAttributes a = r.attributes();
        Relationship rel{Attr(a, "Type"_L1).toString(), {}};
        if (Attr(a, "TargetMode"_L1) != u"External") rel.target = ResolveTarget(part, Attr(a, "Target"_L1));
        relationships.insert(Attr(a, "Id"_L1).toString(), rel);
    }
    if (xml.Failed()) {
        if (error) *error = xml.Error();
        return false;
    }
    return true;
}

} // namespace exchange
