// Arbitrary bytes as the path of a page's local request (below the working
// folder, or absolute when they start with '/'). Whatever the path, the disk is
// asked only when its letters lie in css/ or images/, and what is served is a
// regular file inside them: never the bank beside them, whatever the dots,
// slashes, letter case or links.
#include "FuzzSupport.h"
#include "browser/LocalFiles.h"
#include "platform/AppFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdint>

namespace {
struct Install {
    QTemporaryDir dir;
    QString folder;
    Install() {
        folder = QDir(dir.path()).canonicalPath() + u'/';
        QDir(folder).mkpath(QStringLiteral("css/sub"));
        QDir(folder).mkpath(QStringLiteral("images/bank"));
        for (const char* name : {"css/Main.css", "css/sub/a.html", "images/bank/p.png", "exam.db"}) {
            QFile f(folder + QLatin1String(name));
            (void)f.open(QIODevice::WriteOnly);
            f.write("x");
        }
        // A link out of css/ must not lead a request to the bank.
        QFile::link(folder + QStringLiteral("exam.db"), folder + QStringLiteral("css/link.db"));
        // And one into css/ from outside: its name alone is refused.
        QFile::link(folder + QStringLiteral("css"), folder + QStringLiteral("outside"));
        SetAppFolder(folder.toStdString());
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Install install;
    const QString input =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString path = input.startsWith(u'/') ? input : install.folder + input;
    const QString clean = QDir::cleanPath(path);
    const bool under = UnderOurFolders(path);
    if (under)
        FUZZ_CHECK(clean.startsWith(install.folder + QStringLiteral("css/"), Qt::CaseInsensitive) ||
                       clean.startsWith(install.folder + QStringLiteral("images/"), Qt::CaseInsensitive),
                   "%s passed as ours", qPrintable(path));
    const QString served = AllowedLocalFile(path);
    if (served.isEmpty()) return 0;
    FUZZ_CHECK(under, "%s served without passing by its name", qPrintable(path));
    FUZZ_CHECK(served.startsWith(install.folder + QStringLiteral("css/")) ||
                   served.startsWith(install.folder + QStringLiteral("images/")),
               "%s served %s", qPrintable(path), qPrintable(served));
    FUZZ_CHECK(QFileInfo(served).isFile(), "%s served %s, no regular file", qPrintable(path),
               qPrintable(served));
    return 0;
}
