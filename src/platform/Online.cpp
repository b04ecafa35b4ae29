#include "platform/Online.h"

#include "platform/Seam.h"

#include <QDesktopServices>
#include <QTcpSocket>
#include <QUrl>

namespace {
Seam<bool(const QString&)> onlineSeam;
Seam<void(const QString&)> shellSeam;
constexpr int kConnectTimeoutMs = 3000;
} // namespace

bool InternetCheckConnection(const QString& url) {
    if (onlineSeam) return onlineSeam(url);
    const QUrl u(url);
    if (!u.isValid() || u.host().isEmpty()) return false;
    QTcpSocket socket;
    socket.connectToHost(u.host(), static_cast<quint16>(u.port(80)));
    const bool ok = socket.waitForConnected(kConnectTimeoutMs);
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
