#include "platform/Online.h"

#include "platform/Seam.h"

#include <QDesktopServices>
#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

namespace {
Seam<bool(const QString&)> onlineSeam;
Seam<void(const QString&)> shellSeam;
constexpr int kConnectTimeoutMs = 3000;
} // namespace

bool InternetCheckConnection(const QString& url) {
    if (onlineSeam) return onlineSeam(url);
    return CanConnect(url);
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
    if (socket.state() != QAbstractSocket::ConnectedState && socket.state() != QAbstractSocket::UnconnectedState)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    const bool ok = socket.state() == QAbstractSocket::ConnectedState;
    socket.abort();
    return ok;
}

std::function<bool(const QString&)> SetOnlineCheckHandler(std::function<bool(const QString&)> handler) {
    return onlineSeam.Replace(std::move(handler));
}

void ShellOpen(const QString& url) {
    if (shellSeam) return shellSeam(url);
    QDesktopServices::openUrl(QUrl(url));
}

std::function<void(const QString&)> SetShellOpenHandler(std::function<void(const QString&)> handler) {
    return shellSeam.Replace(std::move(handler));
}
