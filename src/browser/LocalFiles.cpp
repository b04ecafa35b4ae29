#include "browser/LocalFiles.h"

#include "browser/Log.h"
#include "browser/PageConfinement.h"
#include "platform/AppFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInterceptor>
#include <algorithm>

QString ResolvePathIgnoringCase(const QString& path) {
    if (path.isEmpty() || QFileInfo::exists(path)) return path;
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    QString current = path.startsWith(u'/') ? QStringLiteral("/") : QString();
    for (const QString& part : parts) {
        const QString exact =
            current + (current.isEmpty() || current.endsWith(u'/') ? QString() : QStringLiteral("/")) + part;
        if (QFileInfo::exists(exact)) {
            current = exact;
            continue;
        }
        const QDir dir(current.isEmpty() ? QStringLiteral(".") : current);
        const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        auto it = std::find_if(entries.begin(), entries.end(),
                               [&](const QString& e) { return e.compare(part, Qt::CaseInsensitive) == 0; });
        if (it == entries.end()) return path;
        current = dir.filePath(*it);
    }
    return current;
}

namespace {
QString canonicalFolder(const char* name) {
    const QString path =
        QFileInfo(QString::fromStdString(AppFolder()) + QLatin1String(name)).canonicalFilePath();
    return path.isEmpty() ? QString() : path + u'/';
}

// Only a path that is absolute and free of "//" tricks reaches the file system.
QString canonicalFile(const QString& path) {
    if (!path.startsWith(u'/')) return {};
    const QFileInfo info(ResolvePathIgnoringCase(path));
    const QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty() || !QFileInfo(canonical).isFile()) return {};
    return canonical;
}
} // namespace

bool UnderOurFolders(const QString& path) {
    if (!path.startsWith(u'/')) return false;
    const QString clean = QDir::cleanPath(path);
    const QString folder = QDir::cleanPath(QString::fromStdString(AppFolder())) + u'/';
    for (const char* name : {"css/", "images/"}) {
        const QString root = folder + QLatin1String(name);
        if (clean.startsWith(root, Qt::CaseInsensitive)) return true;
        // The folder as the disk names it (the working folder reached through a link).
        const QString canonical = canonicalFolder(name);
        if (!canonical.isEmpty() && clean.startsWith(canonical, Qt::CaseInsensitive)) return true;
    }
    return false;
}

QString AllowedLocalFile(const QString& path) {
    // Refused by its name alone, before the disk is asked: the time a refusal
    // takes tells a page nothing about what exists.
    if (!UnderOurFolders(path)) return {};
    const QString canonical = canonicalFile(path);
    if (canonical.isEmpty()) return {};
    for (const char* folder : {"css", "images"}) {
        const QString root = canonicalFolder(folder);
        if (!root.isEmpty() && canonical.startsWith(root)) return canonical;
    }
    return {};
}

bool IsOwnQuestionPage(const QUrl& url) {
    if (!url.isLocalFile() || !url.host().isEmpty()) return false;
    const QString page =
        canonicalFile(QString::fromStdString(AppFolder()) + QStringLiteral("css/Question.html"));
    return !page.isEmpty() && canonicalFile(url.toLocalFile()) == page;
}

namespace {
// A page that asks for thousands of files must not flood the log (nor the
// window's thread with writing it).
void logRefusal(const QUrl& url) {
    static LogGate gate("local requests refused");
    if (gate.Admit()) qCWarning(lcBrowser) << "refused a local request:" << url.toString().left(120);
}

class LocalFileGuard : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QUrl url = info.requestUrl();
        if (url.scheme() != QLatin1String("file")) return;
        const QString path = url.host().isEmpty() ? url.toLocalFile() : QString();
        const QString allowed = AllowedLocalFile(path);
        if (allowed.isEmpty()) {
            info.block(true);
            logRefusal(url);
            return;
        }
        // Serve the resolved name, so the browser never follows a link or a
        // case-folded name of its own accord.
        if (allowed != path) info.redirect(QUrl::fromLocalFile(allowed));
    }
};
} // namespace

void InstallLocalFileResolver() {
    static LocalFileGuard* guard = nullptr;
    if (guard) return;
    QWebEngineProfile* profile = QWebEngineProfile::defaultProfile();
    guard = new LocalFileGuard(profile);
    profile->setUrlRequestInterceptor(guard);
    ConfineProfile(profile);
}
