#pragma once
// Copying the bank out and back while the program runs on it.
#include <string>

class TDataModule1;

enum class BackupResult { Done, OntoRunningBank, ScratchName, CopyFailed };

// Copies folder + "exam.db" to `target` through a temporary file that is
// renamed into place only when complete: an earlier backup under that name
// survives any failure. `why` receives the system's reason for a failed copy.
BackupResult BackupBank(const std::string& folder, const std::string& target, std::string* why = nullptr);

// Whether `path` is a bank this program can open and safely start on: a regular
// file of at most 2 GiB, our header opened for the program's password (as the
// guard leaves it while connecting), the tables, an image SQLite can read, and
// content that passes UnsafeBankContent (store/BankCheck.h). `why` receives
// the reason when it is not.
bool IsUsableBank(const std::string& path, std::string* why = nullptr);

enum class RestoreResult { Done, SameFile, CopyFailed, NotABank, ReconnectFailed };

// Replaces folder + "exam.db" by `source`. Anything but a regular file of at
// most 2 GiB is NotABank before a byte is copied. The source is copied beside
// the bank and checked first; only a usable copy replaces the bank, by rename, after the
// module's connection has been closed. The guard-and-connect sequence then runs
// again, so the module works on the restored bank at once. Anything but Done
// before ReconnectFailed leaves the bank and the connection as they were.
RestoreResult RestoreBank(TDataModule1& module, const std::string& folder, const std::string& source,
                          std::string* why = nullptr);
