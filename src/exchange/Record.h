#pragma once
// What every import format reads into, before the check and the bank see it.
// Texts keep how the file marked them (HTML or plain) until the sanitizer
// turns every one into the HTML the pages show.
#include <QByteArray>
#include <QString>
#include <map>
#include <vector>

namespace exchange {

struct Text {
    QString value;
    bool html = false; // marked as HTML by the file; plain text is escaped later
    bool isEmpty() const { return value.trimmed().isEmpty(); }
};

// Pictures a file brings in, by the SHA-256 (lower-case hex) of their bytes.
// Texts refer to them as <img src="../images/bank/<sha>.<ext>">.
struct Picture {
    QByteArray bytes;
    QString ext; // "png", "jpg", "gif", "bmp", "webp" (lower case, no dot)
};
using Pictures = std::map<QString, Picture>;

enum class Kind {
    Auto,        // infer from the key: one letter single, several multiple
    TrueFalse,   // becomes 判断题 with the options 正确 / 错误
    Essay,       // no options; the user confirms its type
    Description, // a plain item without type
};

struct Record {
    int line = 0;     // row or line where the item starts (1-based), for messages
    QString category; // "来源/科目/专项", or shorter; empty = the file's default
    QString type;     // 题型 as the file names it; empty = inferred from kind/key
    Kind kind = Kind::Auto;
    Text stem;
    std::vector<Text> options; // in the file's order, A first
    QString key;               // letters as the file gives them ("A", "ABD", "A,C")
    Text explanation;
    QString groupId; // 材料编号: records with the same id form one group
    Text material;   // the group's shared stem
    // Where a paper's layout puts it: the part heading it stands under ("常识判断",
    // the section when the file gives no category, and the type when the bank
    // has one of that name) and its number in the part (answers collected at
    // the end are found by them).
    QString section;
    int part = 0;
    int number = 0;
};

struct Problem {
    int line = 0;       // 0 = the file as a whole
    QString column;     // header name or field ("答案"); may be empty
    QString text;       // plain Chinese, without the line prefix
    bool fatal = false; // the file cannot be read on from here
};

struct ParsedFile {
    std::vector<Record> records;
    std::vector<Problem> problems;
    Pictures pictures;
};

// Limits every reader applies to what it opens, so that a bomb is refused.
struct Limits {
    qint64 maxFileBytes = 256LL << 20; // the file itself
    // One decompressed zip entry: a workbook's sheet of 100,000 questions is
    // about 40 MB, so nothing legitimate comes near this.
    qint64 maxEntryBytes = 64LL << 20;
    qint64 maxTotalBytes = 256LL << 20; // all decompressed entries read
    // Text a file brings: one cell or field, and all of them together (a short
    // text shared by many rows counts every time it is used).
    qint64 maxCellChars = 1LL << 20;
    qint64 maxTotalChars = 128LL << 20;
    int maxEntries = 10000;             // entries in a zip container
    int maxXmlDepth = 256;              // element nesting
    int maxRecords = 1000000;           // questions in one file
    qint64 maxPictureBytes = 5LL << 20; // one picture
};

} // namespace exchange
