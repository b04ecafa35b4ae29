#pragma once
// The whole file checked before anything is written: every record either
// becomes a question ready for the bank or a problem on its line.
#include "exchange/Record.h"
#include "exchange/TypeNotes.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <array>

namespace exchange {

// What the check needs to know of the bank it will land in.
struct BankFacts {
    QStringList types;   // 类型说明 names, in table order
    QSet<QString> known; // fingerprints of the questions already in the bank
};

struct ImportOptions {
    QString under;          // put the whole file under this source (a root); empty = the file's own paths
    QString fallbackSource; // source of records without a category (default: the file's name)
    bool newTypes = false;  // the user confirmed creating the types the bank lacks
    QString essayType;      // type for items without options that need one (an essay)
    TypeNotes typeNotes;    // types the file brings with their instruction and points: made without asking
};

struct PlannedQuestion {
    int line = 0;
    std::array<QString, 3> path; // source, subject, section
    QString type;                // empty: a plain item
    QString stem;                // sanitized HTML
    QStringList options;         // sanitized HTML
    QString key;                 // upper-case letters in order
    QString explanation;         // sanitized HTML
    int single = 0;              // 是否单项: 0 radio buttons, 1 check boxes
    int group = -1;              // index into ImportPlan::groups
};

struct PlannedGroup {
    QString material; // sanitized HTML
    std::vector<size_t> questions;
};

struct ImportPlan {
    std::vector<PlannedQuestion> questions;
    std::vector<PlannedGroup> groups;
    std::vector<Problem> problems; // the reader's and the check's, in line order
    QSet<int> badLines;            // records left out because of a problem
    QStringList newTypes;          // types the bank lacks that the file uses, to be confirmed
    TypeNotes notedTypes;          // types the bank lacks that the file brings notes for
    int duplicates = 0;            // already in the bank or earlier in the file
    int notGbk = 0;                // texts with characters the pages cannot show
    QString notGbkChars;           // those characters, each once (at most 20)
    Pictures pictures;
    bool fatal = false; // the file as a whole cannot be imported
    // Questions per section path "来源/科目/专项", in first-seen order.
    std::vector<std::pair<QString, int>> sections;

    bool Clean() const { return !fatal && badLines.isEmpty(); }
};

// The fingerprint a question is known by: its stem and options without blanks.
QString Fingerprint(const QString& stemHtml, const QStringList& optionsHtml);

// Normalises and checks every record of `file`.
ImportPlan PlanImport(ParsedFile file, const BankFacts& bank, const ImportOptions& options);

// "第 12 行：答案“E”不在选项中" and the like, one line per problem.
QString DescribeProblem(const Problem& p);

} // namespace exchange
