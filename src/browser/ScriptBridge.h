#pragma once
// Carries page calls on window.external to an IDispatch: the name through
// GetIDsOfNames, the call through Invoke. QWebChannel takes it to the page.
#include "browser/Com.h"

#include <QObject>
#include <QStringList>
#include <QVariant>

class ScriptBridge : public QObject {
    Q_OBJECT
public:
    explicit ScriptBridge(IDispatch* dispatch, QObject* parent = nullptr);

    // The methods the dispatch's type information describes.
    QStringList MethodNames() const;
    // The script that makes window.external in a page, for these methods. The
    // channel is asynchronous: a page call returns at once (undefined) and the
    // program runs it right after; the pages never read the result.
    QString PageScript() const;

    // Called from the page: {ok, value} or {ok:false, error}.
    Q_INVOKABLE QVariantMap invoke(const QString& name, const QVariantList& args);

private:
    ComPtr<IDispatch> dispatch_;
};
