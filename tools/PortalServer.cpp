#include "PortalServer.h"

#include "RequestHead.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <utility>

namespace {
// A request head larger than this is no browser's: refuse it.
constexpr qsizetype kMaxHead = 8 * 1024;
// Beyond this many open connections the rest wait in the listen queue.
constexpr qsizetype kMaxConnections = 32;
// A file goes out in pieces of this size, the next when the last has left.
constexpr qint64 kChunk = 64 * 1024;
constexpr qsizetype kMaxLog = 1000;

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

QByteArray headers(int status, const QByteArray& reason, const QByteArray& type, qint64 length) {
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n";
    out += "Content-Type: " + type + "\r\n";
    out += "Content-Length: " + QByteArray::number(length) + "\r\n";
    out += "Cache-Control: no-cache\r\nConnection: close\r\n\r\n";
    return out;
}

// The part before the first `separator`, or all of it.
QByteArray upTo(const QByteArray& text, const char* separator) {
    const qsizetype at = text.indexOf(separator);
    return at < 0 ? text : text.left(at);
}

PortalServer::Reply errorPage(int status, const QByteArray& reason, bool withBody) {
    const QByteArray body =
        "<html><body><h1>" + QByteArray::number(status) + ' ' + reason + "</h1></body></html>";
    return {status, headers(status, reason, "text/html", body.size()) + (withBody ? body : QByteArray()), {}};
}
} // namespace

PortalServer::PortalServer(const QString& root, QObject* parent)
    : QObject(parent), root_(QFileInfo(root).canonicalFilePath()), server_(new QTcpServer(this)) {
    connect(server_, &QTcpServer::newConnection, this, &PortalServer::onConnection);
}

PortalServer::~PortalServer() = default;

bool PortalServer::Listen(quint16 port) {
    return server_->listen(QHostAddress::LocalHost, port);
}

void PortalServer::Close() {
    server_->close();
}

bool PortalServer::IsListening() const {
    return server_->isListening();
}

quint16 PortalServer::Port() const {
    return server_->serverPort();
}

QString PortalServer::BaseUrl() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(Port());
}

QString PortalServer::ErrorString() const {
    return server_->errorString();
}

void PortalServer::onConnection() {
    while (connections_.size() < kMaxConnections) {
        QTcpSocket* socket = server_->nextPendingConnection();
        if (!socket) break;
        Connection& c = connections_[socket];
        c.timer = new QTimer(socket);
        c.timer->setSingleShot(true);
        connect(c.timer, &QTimer::timeout, socket, &QTcpSocket::abort);
        c.timer->start(idle_);
        // Qt would otherwise take in all a client sends, however much.
        socket->setReadBufferSize(kMaxHead + 4);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { onBytesWritten(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            connections_.remove(socket);
            socket->deleteLater();
            if (server_->isListening()) {
                server_->resumeAccepting();
                onConnection(); // those that waited
            }
        });
    }
    if (connections_.size() >= kMaxConnections) server_->pauseAccepting();
}

void PortalServer::onReadyRead(QTcpSocket* socket) {
    const auto it = connections_.find(socket);
    if (it == connections_.end()) return;
    Connection& c = *it;
    if (c.answered) {
        socket->readAll(); // what follows the head is not read, only let through
        return;
    }
    c.pending += socket->read(kMaxHead + 4 - c.pending.size());
    const qsizetype end = c.pending.indexOf("\r\n\r\n");
    if (end < 0 && c.pending.size() < kMaxHead + 4) return; // the head is still coming
    const Reply reply =
        end < 0 ? errorPage(431, "Request Header Fields Too Large", true) : Respond(c.pending.left(end));
    if (end < 0) log("?", QStringLiteral("?"), 431);
    c.pending.clear();
    c.answered = true;
    if (!reply.file.isEmpty()) {
        c.file = new QFile(reply.file, socket);
        if (!c.file->open(QIODevice::ReadOnly)) return socket->abort();
    }
    send(socket, reply.head);
}

void PortalServer::send(QTcpSocket* socket, const QByteArray& bytes) {
    Connection& c = connections_[socket];
    c.timer->start(idle_); // a reader that takes nothing for this long is dropped
    socket->write(bytes);
    if (!c.file) socket->disconnectFromHost();
}

void PortalServer::onBytesWritten(QTcpSocket* socket) {
    const auto it = connections_.find(socket);
    if (it == connections_.end() || !it->file || socket->bytesToWrite() > 0) return;
    const QByteArray chunk = it->file->read(kChunk);
    if (chunk.isEmpty()) {
        delete std::exchange(it->file, nullptr);
        return socket->disconnectFromHost();
    }
    send(socket, chunk);
}

void PortalServer::log(const QByteArray& method, const QString& path, int status) {
    log_ << QStringLiteral("%1 %2 %3").arg(QString::fromLatin1(method), path).arg(status);
    if (log_.size() > kMaxLog) log_.removeFirst();
}

PortalServer::Reply PortalServer::Respond(const QByteArray& head) {
    if (head.size() > kMaxHead) {
        log("?", QStringLiteral("?"), 431);
        return errorPage(431, "Request Header Fields Too Large", true);
    }
    const std::optional<RequestHead> request = ParseRequestHead(head);
    if (!request) {
        log("?", QStringLiteral("?"), 400);
        return errorPage(400, "Bad Request", true);
    }
    const QByteArray& method = request->method;
    const QString path = QUrl::fromPercentEncoding(upTo(request->target, "?"));
    const bool get = method == "GET";
    auto logged = [&](Reply reply) {
        log(method, path, reply.status);
        return reply;
    };
    if (!IsLoopbackHost(request->host)) return logged(errorPage(421, "Misdirected Request", get));
    if (!get && method != "HEAD") return logged(errorPage(405, "Method Not Allowed", true));
    const QString file = fileFor(path);
    if (file.isEmpty()) return logged(errorPage(404, "Not Found", get));
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return logged(errorPage(403, "Forbidden", get));
    return logged({200, headers(200, "OK", contentType(file), f.size()), get ? file : QString()});
}

QString PortalServer::fileFor(const QString& path) const {
    if (root_.isEmpty()) return {};
    const QStringList segments = path.split(u'/', Qt::SkipEmptyParts);
    // "..", "." and hidden files (".git", ".env") alike.
    for (const QString& s : segments)
        if (s.startsWith(u'.') || s.contains(u'\\')) return {};
    QString relative = segments.join(u'/');
    if (relative.isEmpty())
        relative = QStringLiteral("index.html");
    else if (path.endsWith(u'/'))
        relative += QStringLiteral("/index.html");
    const QFileInfo info(QDir(root_).filePath(relative));
    // A link inside the folder could still point out of it.
    const QString real = info.canonicalFilePath();
    if (!info.isFile() || !real.startsWith(root_ + u'/')) return {};
    return real;
}
