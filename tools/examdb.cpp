// examdb: makes and inspects exam database containers.
#include "BankBuilder.h"
#include "ExamdbExchange.h"
#include "SyntheticBank.h"
#include "platform/Files.h"
#include "store/AdoConnection.h"
#include "store/AdoQuery.h"
#include "store/DataModule.h"
#include "store/EncryptionMDB.h"

#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
int usage() {
    std::cerr
        << "usage:\n"
           "  examdb build [--portal http://host:8901] --out exam.db DIR   bank from DIR/schema.sql + "
           "DIR/*.sql\n"
           "  examdb synth --out exam.db --schema schema.sql [--questions N] [--sections N] [--seed N]\n"
           "  examdb open FILE      write the opening header block\n"
           "  examdb close FILE     write the closing header block\n"
           "  examdb verify FILE    check header, password and integrity (on a copy)\n"
           "  examdb import --into BANK FILE [--under PATH] [--new-types] [--skip-bad] [--dry-run]\n"
           "                [--columns 题干=列名,答案=列名,...]\n"
           "  examdb export --from BANK --category ID|--favourites|--wrong --format xlsx|moodle OUT\n"
           "  examdb essay --from BANK --task ID FILE|FOLDER   an answer against the task's 要点\n";
    return 2;
}

std::string headerStateName(examdb::HeaderState s) {
    switch (s) {
    case examdb::HeaderState::Missing:
        return "missing";
    case examdb::HeaderState::NotContainer:
        return "not an exam database";
    case examdb::HeaderState::Open:
        return "open";
    case examdb::HeaderState::Closed:
        return "closed";
    }
    return "?";
}

int verify(const std::string& file) {
    const auto state = examdb::ReadHeaderState(file, kDatabasePassword);
    std::cout << "header: " << headerStateName(state) << "\n";
    if (state != examdb::HeaderState::Open && state != examdb::HeaderState::Closed) return 1;
    // Check a copy so the file itself is never touched.
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("examdb-verify-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string copy = (dir / "exam.db").string();
    int rc = 1;
    // A writer killed mid-transaction leaves its hot journal beside the bank:
    // the copy needs it too, or it shows the half-written pages as corruption.
    const bool journalled =
        !fs::exists(file + "-journal") || CopyFileOver(file + "-journal", copy + "-journal");
    if (journalled && CopyFileOver(file, copy)) {
        DecryptMDB(copy);
        try {
            AdoConnection c;
            c.ConnectionString = TDataModule1::ConnectionStringFor(dir.string() + "/");
            c.Open();
            AdoQuery q(&c);
            q.SQL.Add("PRAGMA integrity_check");
            q.Open();
            std::cout << "integrity: " << q.Fields(0).AsString() << "\n";
            for (const char* table : {"题目类别", "小题", "大题", "答案选项", "类型说明", "试题技巧",
                                      "技巧说明", "测试结果", "测试题目", "系统参数"}) {
                q.Close();
                q.SQL.Clear();
                q.SQL.Add(std::string("SELECT count(*) AS n FROM ") + table);
                q.Open();
                std::cout << table << ": " << q.FieldByName("n").AsInteger() << "\n";
            }
            rc = 0;
        } catch (const std::exception& e) {
            std::cout << "error: " << e.what() << "\n";
        }
    }
    fs::remove_all(dir);
    return rc;
}
} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return usage();
    const std::string cmd = args[0];
    if (cmd == "import" || cmd == "export" || cmd == "sheet" || cmd == "essay") {
        try {
            const std::vector<std::string> rest(args.begin() + 1, args.end());
            if (cmd == "essay") return EssayCommand(rest);
            return cmd == "import"   ? ImportCommand(rest)
                   : cmd == "export" ? ExportCommand(rest)
                                     : SheetCommand(rest);
        } catch (const std::exception& e) {
            std::cerr << "examdb: " << e.what() << "\n";
            return 1;
        }
    }
    std::string out, portal = "http://127.0.0.1:8901", schema;
    bank::SynthOptions synth;
    std::vector<std::string> rest;
    for (size_t i = 1; i < args.size(); ++i) {
        auto value = [&]() -> std::string {
            if (i + 1 >= args.size()) throw std::runtime_error("missing value for " + args[i]);
            return args[++i];
        };
        if (args[i] == "--out")
            out = value();
        else if (args[i] == "--portal")
            portal = value();
        else if (args[i] == "--schema")
            synth.schemaPath = value();
        else if (args[i] == "--questions")
            synth.questions = std::stoi(value());
        else if (args[i] == "--sections")
            synth.sections = std::stoi(value());
        else if (args[i] == "--seed")
            synth.seed = static_cast<unsigned>(std::stoul(value()));
        else
            rest.push_back(args[i]);
    }
    try {
        if (cmd == "build" && !out.empty() && rest.size() == 1) {
            bank::BuildFromDirectory(rest[0], out, portal);
            std::cout << "built " << out << "\n";
            return 0;
        }
        if (cmd == "synth" && !out.empty() && !synth.schemaPath.empty()) {
            auto n = bank::BuildSynthetic(out, synth);
            std::cout << "built " << out << ": " << n.questions << " questions, " << n.groups << " groups, "
                      << n.options << " options, " << n.categories << " categories\n";
            return 0;
        }
        if ((cmd == "open" || cmd == "close") && rest.size() == 1) {
            if (!FileExists(rest[0])) throw std::runtime_error("no such file: " + rest[0]);
            cmd == "open" ? DecryptMDB(rest[0]) : EncryptMDB(rest[0]);
            std::cout << headerStateName(examdb::ReadHeaderState(rest[0], kDatabasePassword)) << "\n";
            return 0;
        }
        if (cmd == "verify" && rest.size() == 1) return verify(rest[0]);
    } catch (const std::exception& e) {
        std::cerr << "examdb: " << e.what() << "\n";
        return 1;
    }
    return usage();
}
