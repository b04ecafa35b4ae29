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
        const QString exact = current + (current.isEmpty() || current.endsWith(u'/') ? QString() : QStringLiteral("/")) + part;
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
    const QString path = QFileInfo(QString::fromStdString(AppFolder()) + QLatin1String(name)).canonicalFilePath();
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
}  // namespace

QString AllowedLocalFile(const QString& path) {
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
    const QString page = canonicalFile(QString::fromStdString(AppFolder()) + QStringLiteral("css/Question.html"));
    return !page.isEmpty() && canonicalFile(url.toLocalFile()) == page;
}

namespace {
class LocalFileGuard : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QUrl url = info.requestUrl();
        if (url.scheme() != QLatin1String("file")) return;
        const QString path = url.host().isEmpty() ? url.toLocalFile() : QString();
        const QString allowed = AllowedLocalFile(path);
        if (allowed.isEmpty()) {
            if (QFileInfo::exists(ResolvePathIgnoringCase(path)))
                qCWarning(lcBrowser) << "refused a local request outside css/ and images/:" << url.toString();
            else
                qCInfo(lcBrowser) << "a page asked for a local file that does not exist:" << url.toString();
            info.block(true);
            return;
        }
        // Serve the resolved name, so the browser never follows a link or a
        // case-folded name of its own accord.
        if (allowed != path) info.redirect(QUrl::fromLocalFile(allowed));
    }
};
}  // namespace

void InstallLocalFileResolver() {
    static LocalFileGuard* guard = nullptr;
    if (guard) return;
    QWebEngineProfile* profile = QWebEngineProfile::defaultProfile();
    guard = new LocalFileGuard(profile);
    profile->setUrlRequestInterceptor(guard);
    ConfineProfile(profile);
}
