#include "browser/BrowserPage.h"

#include "browser/Log.h"
#include "platform/MessageBox.h"

#include <QInputDialog>
#include <QWebEngineView>

namespace {
constexpr int kGapMs = 1000;
// After this many dialogs of one document the user decides whether more may come.
constexpr int kAskAfter = 3;
const QString kCaption = QStringLiteral("网页消息");
} // namespace

bool DialogGate::Allow() {
    // A dialog asked for while one is open comes from a loop, never from the user.
    if (refused_ || open_) return false;
    if (lastClosed_.isValid() && lastClosed_.elapsed() < kGapMs) return false;
    if (shown_ >= kAskAfter) {
        open_ = true;
        const int answer = MessageBox(QStringLiteral("此网页还在不断显示对话框。是否允许它继续显示？"),
                                      kCaption, MB_YESNO | MB_ICONQUESTION);
        open_ = false;
        if (answer != IDYES) {
            Closed(true);
            return false;
        }
        shown_ = 0;
    }
    ++shown_;
    open_ = true;
    return true;
}

void DialogGate::Closed(bool declined) {
    open_ = false;
    if (declined) refused_ = true;
    lastClosed_.start();
}

void DialogGate::Reset() {
    shown_ = 0;
    refused_ = false;
    lastClosed_.invalidate();
}

BrowserPage::BrowserPage(QObject* parent) : QWebEnginePage(parent) {
    connect(this, &QWebEnginePage::loadStarted, this, [this] { gate_.Reset(); });
}

void BrowserPage::javaScriptAlert(const QUrl&, const QString& msg) {
    if (!gate_.Allow()) {
        qCInfo(lcBrowser) << "a page's alert was not shown:" << msg.left(200);
        return;
    }
    MessageBox(msg, kCaption, MB_OK | MB_ICONINFORMATION);
    gate_.Closed(false);
}

bool BrowserPage::javaScriptConfirm(const QUrl&, const QString& msg) {
    if (!gate_.Allow()) {
        qCInfo(lcBrowser) << "a page's confirm was not shown:" << msg.left(200);
        return false;
    }
    const bool ok = MessageBox(msg, kCaption, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
    gate_.Closed(!ok);
    return ok;
}

bool BrowserPage::javaScriptPrompt(const QUrl&, const QString& msg, const QString& defaultValue,
                                   QString* result) {
    if (!gate_.Allow()) {
        qCInfo(lcBrowser) << "a page's prompt was not shown:" << msg.left(200);
        return false;
    }
    bool ok = false;
    QWebEngineView* view = QWebEngineView::forPage(this);
    const QString text = QInputDialog::getText(view ? view->window() : nullptr, kCaption, msg,
                                               QLineEdit::Normal, defaultValue, &ok);
    gate_.Closed(!ok);
    if (ok && result) *result = text;
    return ok;
}

void BrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int line,
                                           const QString& source) {
    // A page refused a thousand loads says so a thousand times.
    static LogGate gate("page console lines");
    if (!gate.Admit()) return;
    qCInfo(lcBrowser).noquote() << "page:" << message.left(200)
                                << source.left(80) + u':' + QString::number(line);
}
