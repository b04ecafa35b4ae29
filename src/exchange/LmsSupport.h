#pragma once
// What the learning-management readers (Moodle XML, GIFT, Aiken) share: the
// file's text, category paths, choice keys and the record limit.
#include "exchange/Record.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace exchange {

// The file as text: over the size limit or not UTF-8 is a fatal problem and
// false. A UTF-8 BOM is skipped.
bool DecodeUtf8File(const QByteArray& bytes, const Limits& limits, QString& text, ParsedFile& out);

// "$course$/top/来源/科目/专项" → "来源/科目/专项": the leading context parts
// ($course$, $system$, …) and "top" name no category of ours.
QString CategoryFromPath(const QString& path);

// The letters of the right answers by their weights (A = first). Several
// right answers: every positive weight; one: the best weighted only.
QString ChoiceKey(const std::vector<double>& weights, bool single);

// Letters run A–Z, so a choice question has at most this many options.
inline constexpr int kMaxOptions = 26;

// Adds the record, or a fatal problem when the file holds more than the limit.
bool AddRecord(ParsedFile& out, Record&& record, const Limits& limits);

// Lines of a text file, CR LF, CR and LF alike.
QStringList TextLines(const QString& text);

} // namespace exchange
