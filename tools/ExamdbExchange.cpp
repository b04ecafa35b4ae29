#include "ExamdbExchange.h"
#include "OpenedBank.h"

#include "exchange/BankImport.h"
#include "exchange/Csv.h"
#include "exchange/Export.h"
#include "exchange/ImportFile.h"
#include "exchange/TypeNotes.h"
#include "exchange/XlsxWriter.h"
#include "store/AdoConnection.h"
#include "store/DataModule.h"
#include "store/EncryptionMDB.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <iostream>

namespace {
std::string out(const QString& s) {
    return s.toStdString();
}

int importUsage() {
    std::cerr
        << "usage: examdb import --into BANK FILE [--under PATH] [--new-types] [--skip-bad] [--dry-run]\n"
           "                     [--columns 题干=列名,答案=列名,...]\n";
    return 2;
}
} // namespace

int ImportCommand(const std::vector<std::string>& args) {
    std::string bank, file, under;
    bool newTypes = false, dryRun = false, skipBad = false;
    std::string columns;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--into" && i + 1 < args.size())
            bank = args[++i];
        else if (args[i] == "--under" && i + 1 < args.size())
            under = args[++i];
        else if (args[i] == "--new-types")
            newTypes = true;
        else if (args[i] == "--dry-run")
            dryRun = true;
        else if (args[i] == "--skip-bad")
            skipBad = true;
        else if (args[i] == "--columns" && i + 1 < args.size())
            columns = args[++i];
        else if (file.empty() && args[i].rfind("--", 0) != 0)
            file = args[i];
        else
            return importUsage();
    }
    if (bank.empty() || file.empty()) return importUsage();

    const QString path = QString::fromStdString(file);
    exchange::ColumnChoice choice;
    QString error;
    if (!exchange::ParseColumnChoice(QString::fromStdString(columns), choice, &error)) {
        std::cerr << out(error) << "\n";
        return 2;
    }
    exchange::ParsedFile parsed = exchange::ReadImportFile(path, {}, choice);
    OpenedBank opened(bank);
    exchange::ImportOptions options;
    options.under = QString::fromStdString(under);
    options.fallbackSource = QFileInfo(path).completeBaseName();
    options.newTypes = newTypes;
    options.typeNotes = exchange::ReadTypeNotesBeside(path);
    const exchange::ImportPlan plan =
        exchange::PlanImport(std::move(parsed), exchange::ReadBankFacts(opened.connection), options);

    for (const exchange::Problem& p : plan.problems)
        std::cerr << out(exchange::DescribeProblem(p)) << "\n";
    for (const auto& [section, n] : plan.sections)
        std::cout << out(section) << "：" << n << " 道题\n";
    if (!plan.newTypes.isEmpty())
        std::cout << "新题型：" << out(plan.newTypes.join(QStringLiteral("、")))
                  << (newTypes ? "" : "（需要 --new-types）") << "\n";
    if (plan.duplicates) std::cout << "题库中已有、跳过：" << plan.duplicates << " 道题\n";
    if (plan.notGbk)
        std::cout << plan.notGbk << " 段文字含有页面无法显示的字符：" << out(plan.notGbkChars) << "\n";
    if (plan.fatal) {
        // The reason stands above: the file as a whole could not be read.
        std::cerr << "文件未导入\n";
        return 1;
    }
    if (!plan.Clean() && !skipBad) {
        std::cerr << "文件未导入：有 " << plan.badLines.size()
                  << " 道题有问题（修改文件，或用 --skip-bad 只导入没有问题的题目）\n";
        return 1;
    }
    if (dryRun) {
        std::cout << "检查通过：可以导入 " << plan.questions.size() << " 道题（--dry-run，未写入）\n";
        return 0;
    }
    const exchange::ImportResult r = exchange::WritePlan(opened.connection, plan);
    std::cout << "导入了 " << r.questions << " 道题（" << r.groups << " 组材料题），新建 " << r.categories
              << " 个分类、" << r.types << " 个题型，" << r.pictures << " 张图片\n";
    return 0;
}

int ExportCommand(const std::vector<std::string>& args) {
    std::string bank, format, file;
    // --category may be given more than once: the categories follow one another.
    std::vector<exchange::Selection> selections;
    bool chosen = false, withTypes = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--from" && i + 1 < args.size())
            bank = args[++i];
        else if (args[i] == "--format" && i + 1 < args.size())
            format = args[++i];
        else if (args[i] == "--category" && i + 1 < args.size()) {
            selections.push_back({exchange::Selection::Kind::Category, std::atoi(args[++i].c_str())});
            chosen = selections.back().category > 0;
        } else if (args[i] == "--favourites") {
            selections.push_back({exchange::Selection::Kind::Favourites, 0});
            chosen = true;
        } else if (args[i] == "--wrong") {
            selections.push_back({exchange::Selection::Kind::Wrong, 0});
            chosen = true;
        } else if (args[i] == "--with-types") {
            withTypes = true;
        } else if (file.empty() && args[i].rfind("--", 0) != 0)
            file = args[i];
        else
            chosen = false, i = args.size();
    }
    if (bank.empty() || file.empty() || !chosen || (format != "xlsx" && format != "moodle")) {
        std::cerr << "usage: examdb export --from BANK --category ID [--category ID…]|--favourites|--wrong "
                     "--format xlsx|moodle [--with-types] OUT\n";
        return 2;
    }
    OpenedBank opened(bank);
    std::vector<exchange::ExportedQuestion> questions;
    for (const exchange::Selection& selection : selections) {
        auto some = exchange::ReadForExport(opened.connection, selection);
        questions.insert(questions.end(), std::make_move_iterator(some.begin()),
                         std::make_move_iterator(some.end()));
    }
    QString error;
    const QString path = QString::fromStdString(file);
    const auto pictures = exchange::BankPictures(opened.connection);
    const bool ok = format == "xlsx" ? exchange::WriteTemplateXlsx(path, questions, pictures, &error)
                                     : exchange::WriteMoodleXml(path, questions, pictures, &error);
    if (!ok) {
        std::cerr << "导出失败：" << out(error) << "\n";
        return 1;
    }
    if (withTypes) {
        // The types' instructions and points, for an import into a bank without them.
        QStringList types;
        for (const auto& q : questions)
            if (!q.type.isEmpty() && !types.contains(q.type)) types << q.type;
        const QString notes = QFileInfo(path).dir().filePath(QString::fromUtf8(exchange::kTypeNotesFile));
        if (!exchange::WriteTypeNotes(opened.connection, types, notes, &error)) {
            std::cerr << "导出失败：" << out(error) << "\n";
            return 1;
        }
    }
    std::cout << "导出了 " << questions.size() << " 道题到 " << file << "\n";
    return 0;
}

int SheetCommand(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        std::cerr << "usage: examdb sheet IN.csv OUT.xlsx   (the template's workbook from its CSV)\n";
        return 2;
    }
    QFile in(QString::fromStdString(args[0]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::cerr << "examdb: cannot read " << args[0] << "\n";
        return 1;
    }
    exchange::XlsxWriter book;
    QString error;
    if (!book.Open(QString::fromStdString(args[1]), QStringLiteral("题库"), &error)) {
        std::cerr << out(error) << "\n";
        return 1;
    }
    exchange::ReadCsvRows(exchange::DecodeSpreadsheetText(in.readAll()), [&](int, const QStringList& cells) {
        book.Row(cells);
        return true;
    });
    if (!book.Close(&error)) {
        std::cerr << out(error) << "\n";
        return 1;
    }
    return 0;
}
