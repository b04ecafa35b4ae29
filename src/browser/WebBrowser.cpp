#include "browser/WebBrowser.h"

#include "browser/Log.h"
#include "browser/PageConfinement.h"
#include "platform/AppFolder.h"
#include "platform/Online.h"

#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScopeGuard>
#include <QTimer>
#include <QUrl>
#include <QWebEngineHistory>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <memory>

namespace {
int scriptTimeoutMs = 15000;
}

void BrowserDocument::Writeln(std::string_view line) {
    browser_->appendLine(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
}

void WebBrowser::Navigate(const QString& address) {
    // A stored address is anyone's text: only our own files, the blank page and
    // the web are places to go (no data:, javascript:, file: of elsewhere).
    const bool local = address.startsWith(u'/');
    if (!local && address != QLatin1String("about:blank") && !IsWebAddress(address)) {
        qCWarning(lcBrowser) << "refused to navigate to" << address.left(200);
        return;
    }
    location_ = address;
    writing_ = address == QLatin1String("about:blank");
    written_.clear();
    flushPending_ = false;
    startLoad();
    if (!local) return setUrl(QUrl(address));
    QFile file(address);
    const uchar* bytes = file.open(QIODevice::ReadOnly) ? file.map(0, file.size()) : nullptr;
    watchFramesOf(bytes ? QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), file.size())
                        : QByteArray());
    setUrl(QUrl::fromLocalFile(address));
}

void WebBrowser::watchFramesOf(const QByteArray& html) {
    const bool frames = HasFrameMarkup(html);
    if (frames == (frameWatch_ != nullptr)) return;
    if (!frames) {
        page()->scripts().remove(*frameWatch_);
        frameWatch_.reset();
        return;
    }
    frameWatch_ = std::make_unique<QWebEngineScript>();
    frameWatch_->setName(QStringLiteral("quillora frame watch"));
    frameWatch_->setSourceCode(QString::fromLatin1(FrameWatchScript()));
    frameWatch_->setInjectionPoint(QWebEngineScript::DocumentCreation);
    frameWatch_->setWorldId(QWebEngineScript::MainWorld);
    frameWatch_->setRunsOnSubFrames(true);
    page()->scripts().insert(*frameWatch_);
}

void WebBrowser::appendLine(const QString& line) {
    if (!writing_) throw EScriptError("没有可写入的文档：请先打开空白页 (about:blank)。");
    written_.append(line);
    if (!flushPending_) {
        flushPending_ = true;
        QTimer::singleShot(0, this, [this] { flushDocument(); });
    }
}

void WebBrowser::flushDocument() {
    if (!flushPending_) return;
    flushPending_ = false;
    startLoad();
    const QString page = written_.join(QStringLiteral("\r\n"));
    watchFramesOf(page.toUtf8());
    // Relative addresses in a written page resolve against the css folder.
    setHtml(page, QUrl::fromLocalFile(QString::fromStdString(AppFolder() + "css/")));
}

bool WebBrowser::WaitForLoad(int limitMs) {
    flushDocument();
    if (!loading_) return true;
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    const auto restore = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
    // Only a finished load ends the loop with kLoaded; anything else (the limit,
    // the program quitting every loop) gives up the wait.
    constexpr int kLoaded = 1;
    QEventLoop loop;
    connect(this, &WebBrowser::LoadSettled, &loop, [&loop] { loop.exit(kLoaded); });
    QTimer limit;
    if (limitMs >= 0) {
        limit.setSingleShot(true);
        connect(&limit, &QTimer::timeout, &loop, [&loop] { loop.exit(0); });
        limit.start(limitMs);
    }
    while (loading_)
        if (loop.exec() != kLoaded) break;
    return !loading_;
}

void WebBrowser::startLoad() {
    loading_ = true;
    navigatedAtMs_ = QDateTime::currentMSecsSinceEpoch();
    staleCheck_->stop();
    startGuard_->start();
}

void WebBrowser::noLoadStarted() {
    // Nothing said the navigation began (the browser says nothing of one that
    // replaces a load in progress): ask the document, and give up in time.
    if (!loading_ || staleCheck_->isActive()) return;
    staleSinceMs_ = navigatedAtMs_;
    staleCheck_->start();
}

bool WebBrowser::showsLastNavigation() const {
    // The history entry's time is when its document was committed, on the
    // clock this process reads.
    const QDateTime committed = history()->currentItem().lastVisited();
    return committed.isValid() && committed.toMSecsSinceEpoch() >= navigatedAtMs_;
}

void WebBrowser::loadEnded() {
    if (!loading_) return;
    if (showsLastNavigation()) {
        loading_ = false;
        staleCheck_->stop();
        startGuard_->stop();
        emit LoadSettled();
        return;
    }
    // An older document finished while the last navigation was under way.
    qCDebug(lcBrowser) << "a superseded load ended; waiting for the last navigation";
    staleSinceMs_ = QDateTime::currentMSecsSinceEpoch();
    staleCheck_->start();
}

void WebBrowser::checkStaleLoad() {
    if (!loading_) return staleCheck_->stop();
    if (!showsLastNavigation()) {
        // A navigation that never commits (refused, turned into a download)
        // must not hold every later wait.
        constexpr qint64 kGiveUpMs = 10000;
        if (QDateTime::currentMSecsSinceEpoch() - staleSinceMs_ > kGiveUpMs) {
            qCWarning(lcBrowser) << "the last navigation never showed a document; no longer waiting for it";
            loading_ = false;
            staleCheck_->stop();
            emit LoadSettled();
        }
        return;
    }
    const qint64 asked = navigatedAtMs_;
    const std::weak_ptr<bool> alive = alive_;
    page()->runJavaScript(QStringLiteral("document.readyState"), kObserverWorld,
                          [this, alive, asked](const QVariant& v) {
                              if (alive.expired()) return;
                              if (loading_ && asked == navigatedAtMs_ &&
                                  v.toString() == QLatin1String("complete") && showsLastNavigation())
                                  loadEnded();
                          });
}

void WebBrowser::SetScriptTimeoutForTests(int ms) {
    scriptTimeoutMs = ms;
}

QVariant WebBrowser::runSync(const QString& js) {
    if (!WaitForLoad()) throw EScriptError("页面没有加载完毕。");
    // The reply may come after we stopped waiting: it lands in state the
    // callback shares, never in this stack frame, and is then dropped.
    struct Reply {
        QEventLoop* loop = nullptr;
        bool done = false;
        QVariant value;
    };
    auto reply = std::make_shared<Reply>();
    page()->runJavaScript(js, [reply](const QVariant& v) {
        reply->value = v;
        reply->done = true;
        if (reply->loop) reply->loop->quit();
    });
    if (!reply->done) {
        QEventLoop loop;
        reply->loop = &loop;
        QTimer::singleShot(scriptTimeoutMs, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        reply->loop = nullptr;
    }
    if (!reply->done) {
        qCWarning(lcBrowser) << "script gave no answer within" << scriptTimeoutMs << "ms";
        throw EScriptError("脚本没有在规定时间内执行完毕。");
    }
    return reply->value;
}

namespace {
// Wraps a script so that it runs in the page's global scope and an exception
// comes back as {"error": message} instead of being lost in the console.
QString guarded(const QString& script, bool wantValue) {
    const QString quoted =
        QString::fromUtf8(QJsonDocument(QJsonArray{script}).toJson(QJsonDocument::Compact));
    return QStringLiteral("(function(){try{var v=(0,eval)(%1[0]);return {ok:true,value:%2};}"
                          "catch(e){return {ok:false,error:String(e&&e.message||e)};}})()")
        .arg(quoted, wantValue ? QStringLiteral("v") : QStringLiteral("null"));
}
} // namespace

void WebBrowser::ExecScript(const QString& script) {
    Evaluate(script);
}

QVariant WebBrowser::Evaluate(const QString& expression) {
    const QVariantMap r = runSync(guarded(expression, true)).toMap();
    if (r.isEmpty()) throw EScriptError("页面中没有可执行脚本的文档。");
    if (!r.value(QStringLiteral("ok")).toBool())
        throw EScriptError(r.value(QStringLiteral("error")).toString().toStdString());
    return r.value(QStringLiteral("value"));
}

void WebBrowser::PrintPreview() {
    if (!WaitForLoad()) return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, window());
    preview.setWindowTitle(QStringLiteral("打印预览"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* p) {
        // The preview paints synchronously; the page prints asynchronously.
        QEventLoop loop;
        connect(this, &QWebEngineView::printFinished, &loop, &QEventLoop::quit);
        print(p);
        loop.exec();
    });
    preview.exec();
}
