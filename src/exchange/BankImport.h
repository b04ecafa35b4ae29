#pragma once
// Writes a checked import into the bank: one transaction, all or nothing.
#include "exchange/ImportPlan.h"

#include <functional>

class AdoConnection;

namespace exchange {

// The bank's types and the fingerprints of its questions. Throws
// EDatabaseError when the bank cannot be read.
BankFacts ReadBankFacts(AdoConnection& connection);

struct ImportResult {
    int questions = 0;
    int groups = 0;
    int categories = 0;   // categories made for the import
    int types = 0;        // types made for the import
    int pictures = 0;     // pictures stored that the bank did not hold
    int firstSection = 0; // the section the first imported question landed in
};

// Called now and then with the questions written so far; answering false
// cancels the import, which then leaves the bank as it was.
using ImportProgress = std::function<bool(int done, int total)>;

// Writes `plan` (its good questions only). Throws EDatabaseError, after
// rolling back, when the bank refuses a write; ImportCancelled when the
// progress callback asked to stop.
ImportResult WritePlan(AdoConnection& connection, const ImportPlan& plan,
                       const ImportProgress& progress = {});

struct ImportCancelled : std::exception {
    const char* what() const noexcept override { return "import cancelled"; }
};

// The table of pictures, made when missing (never part of a bank's described tables).
void EnsurePictureTable(AdoConnection& connection);

// Writes images/bank/<name> under `appFolder` for every picture the bank holds
// that is not there yet. Names that are not a hash and a picture extension are
// never used as file names. Answers the number written; failures are logged.
int WriteMissingPictures(AdoConnection& connection, const QString& appFolder);

} // namespace exchange
