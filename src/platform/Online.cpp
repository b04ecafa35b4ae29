#include "platform/Online.h"

#include "platform/Log.h"
#include "platform/MessageBox.h"
#include "platform/Seam.h"

#include <QEventLoop>
#include <QProcess>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <memory>

namespace {
Seam<bool(const QString&)> onlineSeam;
Seam<void(const QString&)> shellSeam;
constexpr int kConnectTimeoutMs = 3000;
} // namespace

namespace {
int checksRunning = 0;
} // namespace

bool InternetCheckConnection(const QString& url) {
    // The check waits in an event loop: timers may fire meanwhile.
    ++checksRunning;
    const struct Done {
        ~Done() { --checksRunning; }
    } done;
    if (onlineSeam) return onlineSeam(url);
    return CanConnect(url);
}

bool OnlineCheckRunning() {
    return checksRunning > 0;
}

bool CanConnect(const QString& url) {
    const QUrl u(url);
    if (!u.isValid() || u.host().isEmpty()) return false;
    // waitForConnected would resolve the name with a blocking lookup of its own
    // first, without a limit: a dead DNS server would stall start-up. Waiting
    // in a loop keeps the lookup inside the same limit.
    QTcpSocket socket;
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QTcpSocket::connected, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QTcpSocket::errorOccurred, &loop, &QEventLoop::quit);
    limit.start(kConnectTimeoutMs);
    socket.connectToHost(u.host(), static_cast<quint16>(u.port(80)));
    if (socket.state() != QAbstractSocket::ConnectedState &&
        socket.state() != QAbstractSocket::UnconnectedState)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    const bool ok = socket.state() == QAbstractSocket::ConnectedState;
    socket.abort();
    return ok;
}

std::function<bool(const QString&)> SetOnlineCheckHandler(std::function<bool(const QString&)> handler) {
    return onlineSeam.Replace(std::move(handler));
}

bool IsWebAddress(const QString& address) {
    const QUrl u(address, QUrl::StrictMode);
    return u.isValid() && (u.scheme() == QLatin1String("http") || u.scheme() == QLatin1String("https")) &&
           !u.host().isEmpty();
}

namespace {
// xdg-open returns as soon as a running browser has taken the address; one it
// starts afresh may keep it waiting for as long as the browser runs.
constexpr int kOpenWaitMs = 5000;

void tellNoBrowser(const QString& url, const QString& why) {
    qCWarning(lcPlatform) << "could not open" << url << "in a web browser:" << why;
    MessageBox(QStringLiteral("没有找到可以打开网址的网页浏览器。请复制下面的网址，用浏览器打开：\n\n") + url,
               QStringLiteral("无法打开网址"), MB_ICONWARNING | MB_OK);
}
} // namespace

void ShellOpen(const QString& url) {
    if (!IsWebAddress(url)) {
        qCWarning(lcPlatform) << "refused to open a stored address that is no web address:" << url.left(200);
        MessageBox(QStringLiteral("网址无效，只能打开以 http:// 或 https:// 开头的网址：\n\n") + url,
                   QStringLiteral("无法打开网址"), MB_ICONWARNING | MB_OK);
        return;
    }
    if (shellSeam) return shellSeam(url);
    auto* process = new QProcess;
    process->setProgram(QStringLiteral("xdg-open"));
    process->setArguments({url});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    process->start();
    limit.start(kOpenWaitMs);
    if (process->state() != QProcess::NotRunning) loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (process->state() != QProcess::NotRunning) {
        // Still running: a browser has started in its place. Let it go on, and
        // never end it with the program; what it says on stderr is not kept.
        QObject::connect(process, &QProcess::readyReadStandardError, process,
                         [process] { process->readAllStandardError(); });
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return;
    }
    const std::unique_ptr<QProcess> done(process);
    if (done->error() == QProcess::FailedToStart)
        return tellNoBrowser(url, QStringLiteral("xdg-open could not be started"));
    if (done->exitStatus() != QProcess::NormalExit)
        return tellNoBrowser(url, QStringLiteral("xdg-open crashed"));
    if (done->exitCode() != 0)
        tellNoBrowser(url, QStringLiteral("xdg-open exited with %1: %2")
                               .arg(done->exitCode())
                               .arg(QString::fromLocal8Bit(done->readAllStandardError()).trimmed()));
}

std::function<void(const QString&)> SetShellOpenHandler(std::function<void(const QString&)> handler) {
    return shellSeam.Replace(std::move(handler));
}
