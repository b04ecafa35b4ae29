#include "platform/AppFolder.h"

#include "platform/Log.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::string& folder() {
    static std::string f;
    return f;
}

std::string withSlash(std::string f) {
    if (!f.empty() && f.back() != '/') f += '/';
    return f;
}

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

bool hasBank(const std::string& dir) {
    return QFileInfo(q(dir + "exam.db")).isFile();
}

// Permission bits say nothing to root and nothing about read-only mounts:
// only a real write answers.
bool canCreateIn(const std::string& dir) {
    const std::string probe = dir + ".write-probe-" + std::to_string(::getpid());
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

bool canWriteFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

bool worksInPlace(const std::string& dir) {
    return canCreateIn(dir) && canCreateIn(dir + "css/") && canWriteFile(dir + "exam.db");
}

// Whoever else can write the folder could plant a link or swap a file under
// the program's feet: such a folder is only read from, never worked in. The
// reason, or empty when only its owner, this user, can write it.
QString sharedBecause(const std::string& dir) {
    for (const std::string& path : {dir, dir + "css"}) {
        std::string name = path;
        while (name.size() > 1 && name.back() == '/')
            name.pop_back();
        struct stat st {};
        if (::lstat(name.c_str(), &st) != 0) continue; // a missing css/ is reported elsewhere
        if (S_ISLNK(st.st_mode)) return q(name) + QStringLiteral(" is a symbolic link");
        if (st.st_uid != ::geteuid()) return q(name) + QStringLiteral(" is owned by another user");
        if (st.st_mode & (S_IWGRP | S_IWOTH))
            return q(name) + QStringLiteral(" can be written by other users");
    }
    return {};
}

// The per-user folder holds the user's history: what it creates of the path is 0700.
bool makePrivateFolder(const std::string& dir) {
    for (size_t slash = dir.find('/', 1); slash != std::string::npos; slash = dir.find('/', slash + 1))
        if (::mkdir(dir.substr(0, slash).c_str(), 0700) != 0 && errno != EEXIST) return false;
    return QFileInfo(q(dir)).isDir();
}

// Writes a temporary file beside the target and links it in under the final
// name only when complete: a start cut short never leaves half a bank, and
// two first starts at once never replace a bank the other already opened.
QString copyIfMissing(const QString& from, const QString& to) {
    if (QFileInfo::exists(to)) return {};
    const QString dir = QFileInfo(to).absolutePath();
    if (!QDir().mkpath(dir)) return QStringLiteral("无法建立文件夹 %1").arg(dir);
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) return QStringLiteral("无法读取 %1：%2").arg(from, in.errorString());
    QTemporaryFile out(to + QStringLiteral(".XXXXXX"));
    const auto cannotWrite = [&] { return QStringLiteral("无法写入 %1：%2").arg(to, out.errorString()); };
    if (!out.open()) return cannotWrite();
    while (!in.atEnd()) {
        const QByteArray block = in.read(1 << 20);
        if (block.isEmpty() && in.error() != QFileDevice::NoError)
            return QStringLiteral("无法读取 %1：%2").arg(from, in.errorString());
        if (out.write(block) != block.size()) return cannotWrite();
    }
    if (!out.flush() || ::fdatasync(out.handle()) != 0) return cannotWrite();
    const QByteArray tmpName = QFile::encodeName(out.fileName()), toName = QFile::encodeName(to);
    if (::link(tmpName.constData(), toName.constData()) != 0 && errno != EEXIST)
        return QStringLiteral("无法写入 %1：%2").arg(to, QString::fromLocal8Bit(std::strerror(errno)));
    return {}; // the temporary name goes with `out`
}

QString copyShipped(const std::string& shipped, const std::string& user) {
    if (!makePrivateFolder(user)) return QStringLiteral("无法建立文件夹 %1").arg(q(user));
    for (const char* sub : {"css", "images"}) {
        const QString root = q(shipped) + QString::fromLatin1(sub);
        QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString from = it.next();
            // The question page is the program's own scratch output, not shipped content.
            if (from.endsWith(QStringLiteral("/css/Question.html"), Qt::CaseInsensitive)) continue;
            const QString to = q(user) + QString::fromLatin1(sub) + from.mid(root.size());
            if (QString why = copyIfMissing(from, to); !why.isEmpty()) return why;
        }
    }
    // The bank last: once it is there the copy is complete.
    return copyIfMissing(q(shipped + "exam.db"), q(user + "exam.db"));
}
} // namespace

std::string InstalledFolder(const std::string& exeFolder) {
    return withSlash(QDir::cleanPath(q(withSlash(exeFolder) + "../share/quillora")).toStdString());
}

AppFolderChoice ChooseAppFolder(const AppFolderPlaces& places) {
    const std::string exe = withSlash(places.exeFolder);
    const std::string user = withSlash(places.userFolder);
    const std::string installed = InstalledFolder(exe);

    if (hasBank(exe)) {
        if (const QString shared = sharedBecause(exe); !shared.isEmpty())
            qCWarning(lcPlatform) << "not working in" << q(exe) << "itself:" << shared << "- using"
                                  << q(user);
        else if (worksInPlace(exe))
            return {exe, {}};
    }
    const std::string shipped = hasBank(exe) ? exe : hasBank(installed) ? installed : std::string();
    if (shipped.empty()) {
        // Nothing shipped to copy: the user's own bank, or the executable's
        // folder, where opening the missing bank reports the error.
        return {hasBank(user) ? user : exe, {}};
    }
    if (user.empty()) return {exe, QStringLiteral("找不到用户数据文件夹。")};
    if (QString why = copyShipped(shipped, user); !why.isEmpty()) {
        qCWarning(lcPlatform) << "per-user copy into" << q(user) << "failed:" << why;
        return {user, QStringLiteral("无法在 %1 准备用户数据：\n%2").arg(q(user), why)};
    }
    return {user, {}};
}

QString SettleAppFolder() {
    if (!folder().empty() || !QCoreApplication::instance()) return {};
    const AppFolderChoice choice =
        ChooseAppFolder({QCoreApplication::applicationDirPath().toStdString(),
                         QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString()});
    folder() = choice.folder;
    return choice.problem;
}

const std::string& AppFolder() {
    if (folder().empty()) SettleAppFolder();
    return folder();
}

void SetAppFolder(const std::string& f) {
    folder() = withSlash(f);
}
