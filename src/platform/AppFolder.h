#pragma once
#include <QString>
#include <string>

// The folder the program works in, with a trailing '/': exam.db, css/ and
// images/ live there. Decided once per run by SettleAppFolder(); tests point
// it at a temporary installation with SetAppFolder().
const std::string& AppFolder();
void SetAppFolder(const std::string& folder);

// Where the shipped files are looked for and where a user's own copy goes.
struct AppFolderPlaces {
    std::string exeFolder;  // the executable's folder
    std::string userFolder; // the per-user data folder
};

struct AppFolderChoice {
    std::string folder; // trailing '/'
    QString problem;    // empty unless the per-user copy could not be made
};

// The one rule for the working folder. The executable's folder when it holds
// exam.db and it, its css/ and the bank can be written (a build or portable
// copy), unless it or its css/ is a link, owned by another user, or writable
// by group or others (logged). Otherwise the user's folder, created 0700: the
// shipped bank and pages (beside the executable, or in ../share/quillora/ of
// an installation) are copied there when missing, so a later start never
// replaces the user's bank or pages.
AppFolderChoice ChooseAppFolder(const AppFolderPlaces& places);

// Where an installation ships its files: ../share/quillora/ of the executable's
// folder, with a trailing '/'.
std::string InstalledFolder(const std::string& exeFolder);

// Decides AppFolder() for this run from the real places, after the
// application's name is set. Returns an empty text when the folder is
// ready, otherwise the message for the user. A folder set beforehand stays.
QString SettleAppFolder();
