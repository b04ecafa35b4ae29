// maincss: writes the installation's css/Main.css from the display settings of
// a bank, as the appearance dialog would after confirming them.
#include "platform/AppFolder.h"
#include "platform/Files.h"
#include "render/Global.h"
#include "render/StyleSheet.h"
#include "store/DataModule.h"

#include <filesystem>
#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: maincss BANK INSTALL_FOLDER\n";
        return 2;
    }
    namespace fs = std::filesystem;
    // Read the settings from a copy: the bank itself stays as built.
    const fs::path tmp = fs::temp_directory_path() / ("maincss-" + std::to_string(::getpid()));
    fs::create_directories(tmp);
    int rc = 1;
    try {
        if (!CopyFileOver(argv[1], (tmp / "exam.db").string()))
            throw std::runtime_error("cannot read the bank");
        TDataModule1 dm;
        if (!dm.GuardAndConnect(tmp.string() + "/")) throw std::runtime_error("cannot open the bank");
        DataModule1 = &dm;
        LoadDisplaySettings();
        SetAppFolder(argv[2]);
        WriteMainCss();
        DataModule1 = nullptr;
        rc = 0;
    } catch (const std::exception& e) {
        std::cerr << "maincss: " << e.what() << "\n";
    }
    fs::remove_all(tmp);
    return rc;
}
