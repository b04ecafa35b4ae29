#pragma once
#include "browser/Com.h"
#include "platform/LineSink.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWebEngineView>
#include <memory>
#include <stdexcept>

class IDocHostUIHandler;
class QWebChannel;
class QWebEngineScript;
class QTimer;

class WebBrowser;

// A script that failed in the page; its text is the engine's message.
class EScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The document of a page written line by line after navigating to "about:blank".
class BrowserDocument : public LineSink {
public:
    explicit BrowserDocument(WebBrowser* browser) : browser_(browser) {}
    void Writeln(std::string_view line) override;

private:
    WebBrowser* browser_;
};

// The embedded browser control. Navigate takes a local file path (absolute),
// a web address or "about:blank" and returns at once; the page loads after.
class WebBrowser : public QWebEngineView {
    Q_OBJECT
public:
    explicit WebBrowser(QWidget* parent = nullptr);
    ~WebBrowser() override;

    // The control's automation object; it answers IOleObject, whose
    // SetClientSite makes the browser consult the given site.
    virtual IUnknown* DefaultInterface();
    // Asks the site again for window.external.
    void RefreshExternal();
    bool HasExternal() const;

    void Navigate(const QString& address);
    void Navigate(const std::string& address) { Navigate(QString::fromStdString(address)); }
    // The address of the last navigation, as given.
    const QString& LocationURL() const { return location_; }

    // The document being written after Navigate("about:blank"); the lines are
    // shown together, in order, once the current command returns. Writing when
    // no blank document was opened is an error.
    BrowserDocument& Document() { return document_; }
    const QStringList& WrittenLines() const { return written_; }

    // Runs script in the page, as the page's own code would (global scope), after
    // any load in progress has finished (the script's time limit starts only
    // then). A failing script throws EScriptError.
    void ExecScript(const QString& script);
    // Evaluates an expression in the page and returns its value (same rules).
    QVariant Evaluate(const QString& expression);

    // The program's own scripts run in a world of their own (the page's script
    // sees neither them nor the channel they talk through), from the creation of
    // every document this browser shows. AddObserver registers `object` under
    // `name` and adds `script`, which reaches it as
    // quilloraChannel(function(objects){ objects[name]... }). Register before the
    // documents that should see it load.
    void AddObserver(const QString& name, QObject* object, const QString& script);
    // Runs a script in that world without waiting for it (nothing if no page).
    void RunInObserverWorld(const QString& script);
    static constexpr quint32 kObserverWorld = 1; // QWebEngineScript::ApplicationWorld

    // Print preview of the page shown, without asking first.
    void PrintPreview();

    // Waits until the page has loaded, however long that takes, under a busy
    // cursor; events run meanwhile, so the user can read and answer what is
    // already shown. False when the wait was given up: after `limitMs` (tests;
    // -1 for none) or when the program is quitting.
    // Only the load of the last navigation ends the wait: a load that a newer
    // navigation superseded may still report its end, and the newer one may
    // report nothing at all, so its document is then asked directly.
    bool WaitForLoad(int limitMs = -1);
    bool IsLoading() const { return loading_; }

    // How long a script may run before the call gives up (15 s).
    static void SetScriptTimeoutForTests(int ms);

protected:
    void contextMenuEvent(QContextMenuEvent* e) override;
    void childEvent(QChildEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    class Automation;
    friend class BrowserDocument;
    void setClientSite(IOleClientSite* site);
    IDocHostUIHandler* hostHandler() const;
    std::unique_ptr<Automation> automation_;
    IOleClientSite* site_ = nullptr;
    QWebChannel* channel_ = nullptr;
    QObject* external_ = nullptr; // the bridge registered as "external"
    std::unique_ptr<QWebEngineScript> externalScript_;
    // The observer world's one script: the channel's client, then each part.
    std::unique_ptr<QWebEngineScript> observerScript_;
    QList<QPair<QString, QString>> observerParts_;
    void ensureChannel();
    void setObserverPart(const QString& name, const QString& script);
    // The frame watch for the next document, when its text holds frames.
    std::unique_ptr<QWebEngineScript> frameWatch_;
    void watchFramesOf(const QByteArray& html);

    void appendLine(const QString& line);
    // The navigation that loading_ waits for starts now.
    void startLoad();
    void loadEnded();
    // Whether the page shown was committed by the last navigation.
    bool showsLastNavigation() const;
    void checkStaleLoad();
    void flushDocument();
    QVariant runSync(const QString& js);

    QString location_;
    BrowserDocument document_{this};
    QStringList written_;
    bool writing_ = false;
    bool flushPending_ = false;
    bool loading_ = false;
    qint64 navigatedAtMs_ = 0;
    // Set when a load ended that was not the last navigation's: the document is
    // asked until that one stands complete.
    QTimer* staleCheck_ = nullptr;
    qint64 staleSinceMs_ = 0;
    // Runs from each navigation until the browser says a load started.
    QTimer* startGuard_ = nullptr;
    void noLoadStarted();
    // Page callbacks may come while the view is being destroyed: they hold this.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

signals:
    // The last navigation's document has loaded (WaitForLoad's wake-up).
    void LoadSettled();
};
