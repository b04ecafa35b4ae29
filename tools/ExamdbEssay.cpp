// examdb essay: an answer (or a folder of answers) held against a task's 参考要点,
// as the writing window judges it.
#include "ExamdbExchange.h"
#include "OpenedBank.h"

#include "essay/Judge.h"
#include "store/AdoQuery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <iostream>

namespace {
int essayUsage() {
    std::cerr << "usage: examdb essay --from BANK --task ID FILE|FOLDER\n";
    return 2;
}

QString number(double v) {
    return QString::number(v, 'g', 4);
}

void printJudgement(const essay::Task& task, const QString& answer) {
    const essay::Judgement j = essay::Judge(task, answer);
    QString count = QStringLiteral("字数 %1").arg(j.count);
    if (task.limit.max > 0)
        count += QStringLiteral(" / %1").arg(task.limit.max);
    else if (task.limit.min > 0)
        count += QStringLiteral("（不少于%1）").arg(task.limit.min);
    if (task.limit.max > 0 && j.count > task.limit.max) count += QStringLiteral("　超出字数");
    std::cout << count.toStdString() << "\n";
    for (size_t i = 0; i < j.points.size(); ++i)
        std::cout << QStringLiteral("%1 %2 %3/%4 %5")
                         .arg(task.points[i].number)
                         .arg(essay::CoverageName(j.points[i].coverage), number(j.points[i].score),
                              number(task.points[i].points), task.points[i].text.left(24))
                         .toStdString()
                  << "\n";
    for (const essay::StructureCheck& c : j.structure)
        std::cout << QStringLiteral("结构 %1 %2 %3")
                         .arg(c.name, c.met ? QStringLiteral("具备") : QStringLiteral("欠缺"),
                              number(c.score))
                         .toStdString()
                  << "\n";
    std::cout << QStringLiteral("估分 %1 / %2").arg(number(j.score), number(j.marks)).toStdString() << "\n";
}
} // namespace

int EssayCommand(const std::vector<std::string>& args) {
    std::string bank, path;
    int id = 0;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--from" && i + 1 < args.size())
            bank = args[++i];
        else if (args[i] == "--task" && i + 1 < args.size())
            id = std::atoi(args[++i].c_str());
        else if (path.empty() && args[i].rfind("--", 0) != 0)
            path = args[i];
        else
            return essayUsage();
    }
    if (bank.empty() || path.empty() || id <= 0) return essayUsage();
    essay::Task task;
    {
        OpenedBank opened(bank);
        AdoQuery q(&opened.connection);
        q.OpenBound("SELECT 题目内容, 解释 FROM 小题 WHERE 小题号=?", {static_cast<long long>(id)});
        if (q.Eof()) throw std::runtime_error("题库中没有小题 " + std::to_string(id));
        task = essay::ReadTask(id, QString::fromStdString(q.Fields(0).AsString()),
                               QString::fromStdString(q.Fields(1).AsString()));
    }
    const QFileInfo info(QString::fromStdString(path));
    QStringList files;
    if (info.isDir()) {
        for (const QString& name : QDir(info.filePath()).entryList(QDir::Files, QDir::Name))
            files << QDir(info.filePath()).filePath(name);
    } else {
        files << info.filePath();
    }
    int failed = 0;
    for (const QString& file : files) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) {
            std::cerr << "examdb: 无法读取 " << file.toStdString() << "\n";
            ++failed;
            continue;
        }
        if (files.size() > 1) std::cout << "== " << QFileInfo(file).fileName().toStdString() << "\n";
        printJudgement(task, QString::fromUtf8(f.readAll()));
    }
    return failed ? 1 : 0;
}
