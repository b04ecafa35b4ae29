#pragma once
// The zip containers of Office files, opened within the limits. Nothing here
// trusts what the container says about itself: entries are counted while
// they are listed and their bytes while they are decompressed.
#include "exchange/Record.h"

#include <QByteArray>
#include <QHash>
#include <QIODevice>
#include <QSet>
#include <QString>
#include <QXmlStreamReader>
#include <memory>

class QuaZip;
class QuaZipFile;

namespace exchange {

class ZipEntry;

class Zip {
public:
    // `kind` names the file in messages, e.g. "Excel 工作簿（.xlsx）".
    Zip(const Limits& limits, const QString& kind);
    ~Zip();
    Zip(const Zip&) = delete;
    Zip& operator=(const Zip&) = delete;

    // Refuses a file over maxFileBytes, one that is not a zip container and
    // one with more than maxEntries entries.
    bool Open(const QString& path, QString* error);

    // Exact, case-sensitive names, as OOXML requires.
    bool Contains(const QString& name) const { return names_.contains(name); }

    // A device that decompresses the entry and fails (ZipEntry::Error) past
    // maxEntryBytes or the running maxTotalBytes. One entry is open at a time.
    std::unique_ptr<ZipEntry> OpenEntry(const QString& name, QString* error);

    // The whole entry, at most `maxBytes` (and within the container's limits).
    bool ReadEntry(const QString& name, qint64 maxBytes, QByteArray& bytes, QString* error);

    const Limits& limits() const { return limits_; }
    // "文件不是有效的 <kind>"
    QString NotValid() const;
    static QString TooBig();

private:
    friend class ZipEntry;
    Limits limits_;
    QString kind_;
    std::unique_ptr<QuaZip> zip_;
    QSet<QString> names_;
    qint64 total_ = 0; // decompressed bytes of every entry read so far
    ZipEntry* open_ = nullptr;
};

// One entry being decompressed. Read-only and sequential.
class ZipEntry : public QIODevice {
public:
    ~ZipEntry() override;
    // Empty while all is well; the reason once a read has failed.
    const QString& Error() const { return error_; }
    bool isSequential() const override { return true; }
    bool atEnd() const override { return ended_ || !error_.isEmpty(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    friend class Zip;
    ZipEntry(Zip& zip, qint64 maxBytes);
    Zip& zip_;
    std::unique_ptr<QuaZipFile> file_;
    qint64 maxBytes_;
    qint64 read_ = 0;
    bool ended_ = false;
    QString error_;
};

// An entry's XML, token by token: refuses a DTD (so no entity is ever
// declared) and nesting deeper than maxXmlDepth.
class XmlEntry {
public:
    XmlEntry(Zip& zip, const QString& name);
    // The next token; false at the end of the document and on any error.
    bool ReadNext();
    QXmlStreamReader& Xml() { return xml_; }
    bool Failed() const { return !error_.isEmpty(); }
    const QString& Error() const { return error_; }
    // Depth of the current element (1 for the document element).
    int Depth() const { return depth_; }
    // Reads up to the document element and refuses the entry unless it is
    // `localName` (a workbook is no document).
    bool ReadRoot(QLatin1StringView localName);
    // Skips what is inside the current start element, up to its end.
    bool Skip();
    // Appends the character data inside the current start element, up to its end.
    bool AppendText(QString& text);

private:
    bool Next();
    Zip& zip_;
    std::unique_ptr<ZipEntry> entry_;
    QXmlStreamReader xml_;
    int depth_ = 0;
    bool done_ = false;
    QString error_;
};

// An attribute by its local name, whatever prefix the file chose. The view
// lives as long as `attributes`.
QStringView Attr(const QXmlStreamAttributes& attributes, QLatin1StringView localName);

// A part's relationship target as an entry name: relative to the folder of
// `base` ("word/document.xml") unless it starts with '/'; "." and ".." are
// resolved. Empty when it leaves the container.
QString ResolveTarget(const QString& base, QStringView target);

struct Relationship {
    QString type;   // ends with "/worksheet", "/image", ...
    QString target; // an entry name; empty for an external target
};

// The relationships of `part` ("" for the package itself) by id, read from
// its _rels entry; none when there is no such entry.
bool ReadRelationships(Zip& zip, const QString& part, QHash<QString, Relationship>& relationships,
                       QString* error);

} // namespace exchange
