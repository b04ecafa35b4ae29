#include "essay/Attempts.h"

#include "store/AdoConnection.h"
#include "store/AdoQuery.h"
#include "store/OwnTables.h"

#include <QDateTime>

namespace essay {

QString NowText() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

void CreateEssayTable(AdoConnection& connection) {
    owntables::Create(connection, {"申论作答"});
}

long long StartAttempt(AdoConnection& connection, int task, double marks, const QString& kind) {
    CreateEssayTable(connection);
    AdoQuery q(&connection);
    const std::string now = NowText().toStdString();
    const std::string full = QString::number(marks).toStdString();
    const std::string kindText = kind.toStdString();
    q.ExecBound("INSERT INTO 申论作答 (小题号, 开始时间, 保存时间, 满分, 任务类型) VALUES (?,?,?,?,?)",
                {static_cast<long long>(task), std::string_view(now), std::string_view(now),
                 std::string_view(full), std::string_view(kindText)});
    return connection.LastInsertId();
}

void SaveAttempt(AdoConnection& connection, const Attempt& a) {
    AdoQuery q(&connection);
    const std::string text = a.text.toStdString();
    const std::string now = NowText().toStdString();
    if (a.score) {
        const std::string score = QString::number(*a.score).toStdString();
        q.ExecBound("UPDATE 申论作答 SET 作答=?, 字数=?, 用时秒数=?, 保存时间=?, 估分=? WHERE 作答编号=?",
                    {std::string_view(text), static_cast<long long>(a.count),
                     static_cast<long long>(a.seconds), std::string_view(now), std::string_view(score),
                     a.id});
    } else {
        q.ExecBound("UPDATE 申论作答 SET 作答=?, 字数=?, 用时秒数=?, 保存时间=? WHERE 作答编号=?",
                    {std::string_view(text), static_cast<long long>(a.count),
                     static_cast<long long>(a.seconds), std::string_view(now), a.id});
    }
}

std::vector<Attempt> ReadAttempts(AdoConnection& connection, int task) {
    std::vector<Attempt> out;
    AdoQuery q(&connection);
    if (q.OpenBound("SELECT 1 FROM sqlite_master WHERE type='table' AND name='申论作答'", {}).Eof())
        return out;
    q.OpenBound("SELECT 作答编号, 小题号, 开始时间, 保存时间, 用时秒数, 作答, 字数, 估分, 满分 FROM 申论作答 "
                "WHERE ?=0 OR 小题号=? ORDER BY 作答编号 DESC",
                {static_cast<long long>(task), static_cast<long long>(task)});
    for (; !q.Eof(); q.Next()) {
        Attempt a;
        a.id = q.Fields(0).AsLargeInt();
        a.task = q.Fields(1).AsInteger();
        a.started = QString::fromStdString(q.Fields(2).AsString());
        a.saved = QString::fromStdString(q.Fields(3).AsString());
        a.seconds = q.Fields(4).AsInteger();
        a.text = QString::fromStdString(q.Fields(5).AsString());
        a.count = q.Fields(6).AsInteger();
        if (!q.Fields(7).IsNull()) a.score = q.Fields(7).AsFloat();
        a.marks = q.Fields(8).AsFloat();
        out.push_back(a);
    }
    return out;
}

} // namespace essay
