#pragma once
// A small static web server for the sample portal: GET and HEAD of the files
// under one folder, on the loopback interface only. Runs on the event loop of
// the thread that made it. Safe to leave running: connections that stall are
// dropped, their number and their request heads are bounded, and only
// requests that name this machine are answered.
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <chrono>

class QFile;
class QTcpServer;
class QTcpSocket;
class QTimer;

class PortalServer : public QObject {
    Q_OBJECT
public:
    explicit PortalServer(const QString& root, QObject* parent = nullptr);
    ~PortalServer() override;

    // Listens on 127.0.0.1; port 0 takes any free port. False when the port is taken.
    bool Listen(quint16 port);
    void Close();
    bool IsListening() const;
    quint16 Port() const;
    // "http://127.0.0.1:PORT", no trailing slash.
    QString BaseUrl() const;
    QString ErrorString() const;
    // A connection that has sent no whole head, or takes no data, for this long is dropped.
    void SetIdleTimeout(std::chrono::milliseconds timeout) { idle_ = timeout; }

    // The latest paths asked for, in order, as "GET /a/b.html 200"; the oldest
    // fall off past a thousand.
    const QStringList& Log() const { return log_; }

    // The answer to one request head (everything up to the blank line): status
    // line, headers and an error page's body as sent on the wire, and for a
    // GET of a file, that file, which follows them.
    struct Reply {
        int status;
        QByteArray head;
        QString file;
    };
    Reply Respond(const QByteArray& head);

private:
    struct Connection {
        QByteArray pending;    // the head so far
        QFile* file = nullptr; // the body being sent, owned by the socket
        QTimer* timer = nullptr;
        bool answered = false;
    };
    void onConnection();
    void onReadyRead(QTcpSocket* socket);
    void onBytesWritten(QTcpSocket* socket);
    void send(QTcpSocket* socket, const QByteArray& bytes);
    void log(const QByteArray& method, const QString& path, int status);
    // The file a request path names, or the empty text when it names none
    // inside the root (missing, a folder, hidden, or a path leading outside).
    QString fileFor(const QString& path) const;

    QString root_;
    QTcpServer* server_;
    QHash<QTcpSocket*, Connection> connections_;
    QStringList log_;
    std::chrono::milliseconds idle_{5000};
};
