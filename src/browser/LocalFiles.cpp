#include "browser/LocalFiles.h"

#include <QDir>
#include <algorithm>
#include <QFileInfo>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInterceptor>

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
class Resolver : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QUrl url = info.requestUrl();
        if (!url.isLocalFile()) return;
        const QString path = url.toLocalFile();
        const QString resolved = ResolvePathIgnoringCase(path);
        if (resolved != path) info.redirect(QUrl::fromLocalFile(resolved));
    }
};
} // namespace

void InstallLocalFileResolver() {
    static Resolver* resolver = nullptr;
    if (resolver) return;
    resolver = new Resolver(QWebEngineProfile::defaultProfile());
    QWebEngineProfile::defaultProfile()->setUrlRequestInterceptor(resolver);
}
