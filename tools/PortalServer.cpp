#include "PortalServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

namespace {
// A request head larger than this is no browser's: refuse it.
constexpr qsizetype kMaxHead = 16 * 1024;

QByteArray contentType(const QString& file) {
    const QString ext = QFileInfo(file).suffix().toLower();
    // The pages are written in gb2312 like the program's own.
    if (ext == u"html" || ext == u"htm") return "text/html; charset=gb2312";
    if (ext == u"css") return "text/css; charset=gb2312";
    if (ext == u"gif") return "image/gif";
    if (ext == u"png") return "image/png";
    if (ext == u"jpg" || ext == u"jpeg") return "image/jpeg";
    if (ext == u"ico") return "image/x-icon";
    return "application/octet-stream";
}

QByteArray answer(int status, const QByteArray& reason, const QByteArray& type, const QByteArray& body,
                  bool withBody) {
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n";
    out += "Content-Type: " + type + "\r\n";
    out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    out += "Cache-Control: no-cache\r\nConnection: close\r\n\r\n";
    if (withBody) out += body;
    return out;
}

// The part before the first `separator`, or all of it.
QByteArray upTo(const QByteArray& text, const char* separator) {
    const qsizetype at = text.indexOf(separator);
    return at < 0 ? text : text.left(at);
}

QByteArray errorPage(int status, const QByteArray& reason, bool withBody) {
    const QByteArray body = "<html><body><h1>" + QByteArray::number(status) + ' ' + reason + "</h1></body></html>";
    return answer(status, reason, "text/html", body, withBody);
}
}  // namespace

PortalServer::PortalServer(const QString& root, QObject* parent)
    : QObject(parent), root_(QFileInfo(root).canonicalFilePath()), server_(new QTcpServer(this)) {
    connect(server_, &QTcpServer::newConnection, this, &PortalServer::onConnection);
}

PortalServer::~PortalServer() = default;

bool PortalServer::Listen(quint16 port) { return server_->listen(QHostAddress::LocalHost, port); }

void PortalServer::Close() { server_->close(); }

bool PortalServer::IsListening() const { return server_->isListening(); }

quint16 PortalServer::Port() const { return server_->serverPort(); }

QString PortalServer::BaseUrl() const { return QStringLiteral("http://127.0.0.1:%1").arg(Port()); }

QString PortalServer::ErrorString() const { return server_->errorString(); }

void PortalServer::onConnection() {
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            pending_.remove(socket);
            socket->deleteLater();
        });
    }
}

void PortalServer::onReadyRead(QTcpSocket* socket) {
    QByteArray& buffer = pending_[socket];
    buffer += socket->readAll();
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0 && buffer.size() <= kMaxHead) return;  // the head is still coming
    const QByteArray reply = end < 0 ? errorPage(400, "Bad Request", true) : Respond(buffer.left(end));
    pending_.remove(socket);
    socket->write(reply);
    socket->disconnectFromHost();
}

QByteArray PortalServer::Respond(const QByteArray& head) {
    const QList<QByteArray> words = upTo(head, "\r\n").split(' ');
    if (words.size() != 3 || !words[2].startsWith("HTTP/") || !words[1].startsWith('/')) {
        log_ << QStringLiteral("? ? 400");
        return errorPage(400, "Bad Request", true);
    }
    const QByteArray& method = words[0];
    const QString path = QUrl::fromPercentEncoding(upTo(words[1], "?"));
    const bool get = method == "GET";
    auto logged = [&](int status, QByteArray reply) {
        log_ << QStringLiteral("%1 %2 %3").arg(QString::fromLatin1(method), path).arg(status);
        return reply;
    };
    if (!get && method != "HEAD") return logged(405, errorPage(405, "Method Not Allowed", true));
    const QString file = fileFor(path);
    if (file.isEmpty()) return logged(404, errorPage(404, "Not Found", get));
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return logged(403, errorPage(403, "Forbidden", get));
    return logged(200, answer(200, "OK", contentType(file), f.readAll(), get));
}

QString PortalServer::fileFor(const QString& path) const {
    if (root_.isEmpty()) return {};
    const QStringList segments = path.split(u'/', Qt::SkipEmptyParts);
    for (const QString& s : segments)
        if (s == u".." || s == u"." || s.contains(u'\\')) return {};
    QString relative = segments.join(u'/');
    if (relative.isEmpty()) relative = QStringLiteral("index.html");
    else if (path.endsWith(u'/')) relative += QStringLiteral("/index.html");
    const QFileInfo info(QDir(root_).filePath(relative));
    // A link inside the folder could still point out of it.
    const QString real = info.canonicalFilePath();
    if (!info.isFile() || !real.startsWith(root_ + u'/')) return {};
    return real;
}
