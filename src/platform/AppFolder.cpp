#include "platform/AppFolder.h"

#include <QCoreApplication>

namespace {
std::string& folder() {
    static std::string f;
    return f;
}
} // namespace

const std::string& AppFolder() {
    if (folder().empty() && QCoreApplication::instance())
        folder() = QCoreApplication::applicationDirPath().toStdString() + "/";
    return folder();
}

void SetAppFolder(const std::string& f) {
    folder() = f;
    if (!folder().empty() && folder().back() != '/') folder() += '/';
}
