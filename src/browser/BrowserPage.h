#pragma once
// The page of every browser of the program: a page's own dialogs (alert,
// confirm, prompt) go through a gate, so a page that loops on them cannot
// hold the window.
#include <QElapsedTimer>
#include <QWebEnginePage>

class DialogGate {
public:
    // Whether the page may show a dialog now: at most one a second, none once
    // the user has said no, and after a few the user is asked whether to go on.
    bool Allow();
    // The dialog was answered; `declined` when the user said no to it.
    void Closed(bool declined);
    // A new document: its dialogs start afresh.
    void Reset();

private:
    QElapsedTimer lastClosed_;
    int shown_ = 0;
    bool refused_ = false;
    bool open_ = false;
};

class BrowserPage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit BrowserPage(QObject* parent = nullptr);

protected:
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                          QString* result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                  const QString& source) override;

private:
    DialogGate gate_;
};
