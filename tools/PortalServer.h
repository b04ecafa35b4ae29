#pragma once
// A small static web server for the sample portal: GET and HEAD of the files
// under one folder, on the loopback interface only. Runs on the event loop of
// the thread that made it.
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

class QTcpServer;
class QTcpSocket;

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

    // The paths asked for, in order, as "GET /a/b.html 200".
    const QStringList& Log() const { return log_; }

    // The answer to one request head (everything up to the blank line), as
    // sent on the wire: status line, headers and, for GET, the body.
    QByteArray Respond(const QByteArray& head);

private:
    void onConnection();
    void onReadyRead(QTcpSocket* socket);
    // The file a request path names, or the empty text when it names none
    // inside the root (missing, a folder, or a path leading outside).
    QString fileFor(const QString& path) const;

    QString root_;
    QTcpServer* server_;
    QHash<QTcpSocket*, QByteArray> pending_;
    QStringList log_;
};
