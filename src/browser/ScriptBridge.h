#pragma once
// Carries page calls on window.external to an IDispatch: the name through
// GetIDsOfNames, the call through Invoke. QWebChannel takes it to the page.
#include "browser/Com.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <functional>

class ScriptBridge : public QObject {
    Q_OBJECT
public:
    // `callerAllowed` tells, when a call arrives, whether the page shown may
    // use the object at all; a call from any other page is refused silently.
    ScriptBridge(IDispatch* dispatch, std::function<bool()> callerAllowed, QObject* parent = nullptr);

    // The methods the dispatch's type information describes.
    QStringList MethodNames() const;
    // The script that makes window.external in the page's own world, for these
    // methods. A call becomes a DOM event that ForwarderScript, in the program's
    // world, hands to this object: the page never reaches the channel itself.
    // The channel is asynchronous: a page call returns at once (undefined) and
    // the program runs it right after; the pages never read the result.
    QString PageScript() const;
    static QString ForwarderScript(const QString& objectName);
    static constexpr const char* kCallEvent = "quillora-external";

    // Called from the page. The call itself runs from the event loop, never
    // inside the browser's callback, since it may show a message box. A page
    // that calls again while a call of its own is still open (a box the user
    // has not answered), or more often than a user can, is looping: its calls
    // are ignored until it is loaded anew. Answers {ok} when the call was taken, {ok:false, error} otherwise.
    Q_INVOKABLE QVariantMap invoke(const QString& name, const QVariantList& args);

    // A new document is shown: calls start afresh, queued ones are dropped.
    void PageChanged();

private:
    struct Call {
        DISPID id;
        QString name;
        QVariantList args;
    };
    void runQueued();
    void dispatch(const Call& call);

    ComPtr<IDispatch> dispatch_;
    std::function<bool()> callerAllowed_;
    QList<Call> queue_;
    bool running_ = false;
    bool muted_ = false;
    bool answered_ = false; // a call of this page has run
    QElapsedTimer recent_;
    int recentCalls_ = 0;
};
