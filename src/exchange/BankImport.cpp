#include "exchange/BankImport.h"

#include "exchange/Log.h"
#include "exchange/Pictures.h"
#include "platform/Files.h"
#include "store/AdoConnection.h"
#include "store/DatabaseError.h"
#include "store/OwnTables.h"
#include "store/Statement.h"
#include "store/Transaction.h"

#include <QCryptographicHash>
#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <sqlite3.h>
#include <unistd.h>

namespace exchange {

namespace {
using store::Statement;

constexpr long long kMaxCategoryId = 65535; // the search holds category numbers in 16 bits
constexpr int kProgressEvery = 500;

QString sameName(const QString& s) {
    QString out = s.normalized(QString::NormalizationForm_KC);
    out.remove(QRegularExpression(QStringLiteral("\\s")));
    return out;
}

// The category tree as far as the import needs it: children by name.
class Tree {
public:
    explicit Tree(sqlite3* db) {
        Statement q(db, "SELECT 编号, 名称, 父级编号, 属性 FROM 题目类别");
        while (q.step()) {
            const long long id = q.integer(0);
            children_[q.integer(2)].insert(sameName(q.text(1)), id);
            attr_.insert(id, q.text(3));
            parent_.insert(id, q.integer(2));
            next_ = std::max(next_, id + 1);
        }
        // Subjects take the spelling of an existing one under the first source:
        // the mock exam lists those and matches the others by name.
        Statement s(db, "SELECT 名称 FROM 题目类别 WHERE 父级编号 = 1");
        while (s.step())
            subjects_.insert(sameName(s.text(0)), s.text(0));
    }

    // The id of `name` under `parent`, made (after the existing rows) when missing.
    long long child(long long parent, const QString& name, Statement& insert, int& made) {
        const QString key = sameName(name);
        auto& kids = children_[parent];
        auto it = kids.find(key);
        if (it != kids.end()) return *it;
        if (next_ > kMaxCategoryId) throw EDatabaseError("分类编号已经用完（最多 65535），无法再新建分类");
        const long long id = next_++;
        // Children inherit their root's 属性; a new source is a mock-exam source.
        QString attr = QStringLiteral("0");
        if (parent != 0) attr = attr_.value(rootOf(parent));
        const bool subject = parent != 0 && parent_.value(parent) == 0;
        insert.bind(1, id).bind(2, subject ? subjects_.value(key, name) : name).bind(3, parent);
        attr.isNull() ? insert.bindNull(4) : insert.bind(4, attr);
        insert.run();
        kids.insert(key, id);
        attr_.insert(id, attr);
        parent_.insert(id, parent);
        ++made;
        return id;
    }

private:
    long long rootOf(long long id) const {
        for (int guard = 0; guard < 64 && parent_.value(id) != 0; ++guard)
            id = parent_.value(id);
        return id;
    }
    QHash<long long, QHash<QString, long long>> children_;
    QHash<long long, QString> attr_;
    QHash<long long, long long> parent_;
    QHash<QString, QString> subjects_;
    long long next_ = 1;
};
} // namespace

BankFacts ReadBankFacts(AdoConnection& connection) {
    sqlite3* db = connection.Handle();
    BankFacts facts;
    {
        Statement q(db, "SELECT 题目类型 FROM 类型说明");
        while (q.step())
            if (!facts.types.contains(q.text(0))) facts.types << q.text(0);
    }
    // Options in their order per question, then each question's fingerprint.
    QHash<long long, QStringList> options;
    {
        Statement q(db, "SELECT 小题号, 答题选项 FROM 答案选项 ORDER BY 小题号, 答案编号");
        while (q.step())
            options[q.integer(0)] << q.text(1);
    }
    Statement q(db, "SELECT 小题号, 题目内容 FROM 小题");
    while (q.step())
        facts.known.insert(Fingerprint(q.text(1), options.value(q.integer(0))));
    return facts;
}

void EnsurePictureTable(AdoConnection& connection) {
    owntables::Create(connection, {"图片"});
}

namespace {
// The types the import brings, with the notes the file has for them or the default.
void writeTypes(sqlite3* db, const ImportPlan& plan, ImportResult& result) {
    Statement type(db, "INSERT INTO 类型说明(题目类型, 类型说明, 分数) VALUES(?, ?, ?)");
    for (const QString& t : plan.newTypes) {
        type.bind(1, t).bind(2, QStringLiteral("：请根据题目要求作答。")).bind(3, 1.0);
        type.run();
        ++result.types;
    }
    for (const auto& [t, note] : plan.notedTypes) {
        type.bind(1, t).bind(2, note.text).bind(3, note.points);
        type.run();
        ++result.types;
    }
}

// Pictures the bank already holds under their hash stay as they are.
void writePictures(sqlite3* db, const ImportPlan& plan, ImportResult& result) {
    if (plan.pictures.empty()) return;
    Statement picture(db, "INSERT OR IGNORE INTO 图片(名称, 数据) VALUES(?, ?)");
    for (const auto& [sha, p] : plan.pictures) {
        picture.bind(1, sha + QLatin1Char('.') + p.ext).bind(2, p.bytes);
        picture.run();
        result.pictures += sqlite3_changes(db);
    }
}

// The first id after every question and group the bank holds.
long long firstFreeId(sqlite3* db, const ImportPlan& plan) {
    long long next = 1;
    {
        Statement q(
            db, "SELECT max(coalesce((SELECT max(小题号) FROM 小题), 0), "
                "coalesce((SELECT max(大题号) FROM 大题), 0), coalesce((SELECT max(大题号) FROM 小题), 0))");
        if (q.step()) next = q.integer(0) + 1;
    }
    if (next + static_cast<long long>(plan.questions.size()) > 2147483647LL)
        throw EDatabaseError("题号已经用完，无法再导入");
    return next;
}

// The section of the question's path, made with its source and subject when missing.
long long sectionOf(const PlannedQuestion& q, Tree& tree, Statement& category,
                    QHash<QString, long long>& sections, int& made) {
    // Questions of one section come in runs: its id is looked up once.
    const QString pathKey = q.path[0] + QChar(0x1f) + q.path[1] + QChar(0x1f) + q.path[2];
    long long section = sections.value(pathKey);
    if (section == 0) {
        const long long source = tree.child(0, q.path[0], category, made);
        const long long subject = tree.child(source, q.path[1], category, made);
        section = tree.child(subject, q.path[2], category, made);
        sections.insert(pathKey, section);
    }
    return section;
}

// The 大题号 of the question: its own id, or its group's, which is its first
// question's id and is written with the material when that question comes.
long long groupOf(const ImportPlan& plan, const PlannedQuestion& q, long long id, Statement& group,
                  std::vector<long long>& groupId, int& made) {
    if (q.group < 0) return id;
    long long& g = groupId[static_cast<size_t>(q.group)];
    if (g == 0) {
        g = id;
        group.bind(1, g).bind(2, plan.groups[static_cast<size_t>(q.group)].material);
        group.run();
        ++made;
    }
    return g;
}

void writeQuestion(const PlannedQuestion& q, long long id, long long big, long long section,
                   Statement& question, Statement& option) {
    question.bind(1, id).bind(2, big).bind(3, section).bind(4, q.type).bind(5, q.stem).bind(6, q.key);
    question.bind(7, q.explanation).bind(8, static_cast<long long>(q.single));
    question.run();
    for (int i = 0; i < q.options.size(); ++i) {
        option.bind(1, big).bind(2, id).bind(3, static_cast<long long>(i + 1)).bind(4, q.options[i]);
        option.run();
    }
}

void reportProgress(const ImportProgress& progress, int done, int total) {
    if (progress && !progress(done, total)) throw ImportCancelled();
}

// Every question in the plan's order, each under its section and in its group.
void writeQuestions(sqlite3* db, const ImportPlan& plan, Tree& tree, long long next,
                    const ImportProgress& progress, ImportResult& result) {
    Statement category(db, "INSERT INTO 题目类别(编号, 名称, 父级编号, 属性) VALUES(?, ?, ?, ?)");
    Statement group(db, "INSERT INTO 大题(大题号, 大题内容) VALUES(?, ?)");
    Statement question(
        db, "INSERT INTO 小题(小题号, 大题号, 所属编号, 题目类型, 题目内容, 答案, 解释, 是否单项, 是否收藏) "
            "VALUES(?, ?, ?, ?, ?, ?, ?, ?, 0)");
    Statement option(db, "INSERT INTO 答案选项(大题号, 小题号, 答案编号, 答题选项) VALUES(?, ?, ?, ?)");
    std::vector<long long> groupId(plan.groups.size(), 0);
    QHash<QString, long long> sections;
    const int total = static_cast<int>(plan.questions.size());
    int done = 0;
    for (const PlannedQuestion& q : plan.questions) {
        const long long section = sectionOf(q, tree, category, sections, result.categories);
        if (result.firstSection == 0) result.firstSection = static_cast<int>(section);
        const long long id = next++;
        writeQuestion(q, id, groupOf(plan, q, id, group, groupId, result.groups), section, question, option);
        ++result.questions;
        if (++done % kProgressEvery == 0) reportProgress(progress, done, total);
    }
    reportProgress(progress, total, total);
}
} // namespace

ImportResult WritePlan(AdoConnection& connection, const ImportPlan& plan, const ImportProgress& progress) {
    sqlite3* db = connection.Handle();
    ImportResult result;
    store::WriteTransaction transaction(connection);
    if (!plan.pictures.empty()) EnsurePictureTable(connection);
    Tree tree(db);
    writeTypes(db, plan, result);
    writePictures(db, plan, result);
    writeQuestions(db, plan, tree, firstFreeId(db, plan), progress, result);
    transaction.commit();
    return result;
}

int WriteMissingPictures(AdoConnection& connection, const QString& appFolder) {
    sqlite3* db = connection.Handle();
    {
        Statement has(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = '图片'");
        if (!has.step()) return 0;
    }
    const std::string folder = QDir(appFolder).absolutePath().toStdString();
    const QString dir = QDir(appFolder).filePath(QStringLiteral("images/bank"));
    if (IsLink(dir.toStdString()) || (!QDir(dir).exists() && !QDir().mkpath(dir))) {
        qCWarning(lcExchange) << "cannot make the picture folder" << dir;
        return 0;
    }
    int written = 0;
    Statement q(db, "SELECT 名称, 数据 FROM 图片");
    while (q.step()) {
        const QString name = q.text(0);
        if (!IsPictureFileName(name)) {
            qCWarning(lcExchange) << "a picture in the bank has a name that is not ours; left out:"
                                  << name.left(80);
            continue;
        }
        const std::string rel = "images/bank/" + name.toStdString();
        if (FileExists(folder + "/" + rel)) continue;
        const QByteArray bytes = q.blob(1);
        // A name is a promise about the bytes: they must hash to it and be the
        // picture its extension says (not a page in disguise).
        const QString sha =
            QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
        if (name.section(u'.', 0, 0) != sha || PictureExt(bytes) != name.section(u'.', 1)) {
            qCWarning(lcExchange) << "a picture in the bank is not what its name says; left out:" << name;
            continue;
        }
        const int fd = CreateScratch(folder, rel);
        bool ok = fd >= 0;
        for (qsizetype off = 0; ok && off < bytes.size();) {
            const ssize_t n = ::write(fd, bytes.constData() + off, static_cast<size_t>(bytes.size() - off));
            ok = n > 0;
            off += n > 0 ? n : 0;
        }
        if (fd >= 0) ok = ::close(fd) == 0 && ok;
        if (!ok) {
            qCWarning(lcExchange) << "writing the picture" << name << "failed";
            DeleteInFolder(folder, rel);
            continue;
        }
        ++written;
    }
    return written;
}

} // namespace exchange
