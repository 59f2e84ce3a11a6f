#pragma once

// A small HTTP/1.1 server on 127.0.0.1 for the tests: it serves in-memory bodies by path,
// answers with redirects or error statuses, and can trickle a body out in chunks with a
// delay between them (for progress and cancel tests). One request per connection.

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

namespace testsupport {

class LocalHttpServer : public QObject
{
    Q_OBJECT
public:
    struct Resource
    {
        int status = 200;
        QByteArray body;
        bool sendLength = true; // without it the body ends when the connection closes
        int chunkSize = 0;      // 0: the whole body at once
        int chunkDelayMs = 0;   // pause before every chunk after the first
        int cutAfter = -1;      // close the connection after this many body bytes
        qint64 announced = -1;  // Content-Length to claim instead of the body's size
    };

    explicit LocalHttpServer(QObject* parent = nullptr);
    ~LocalHttpServer() override;

    // Listens on a free port of 127.0.0.1; false when that fails.
    bool start();
    quint16 port() const;
    // "http://127.0.0.1:<port>" + path (path begins with '/').
    QString url(const QString& path) const;

    // Paths are matched without their query text. Unknown paths get 404.
    void serve(const QString& path, const QByteArray& body);
    void serveSlowly(const QString& path, const QByteArray& body, int chunkSize, int delayMs);
    void serveStatus(const QString& path, int status, const QByteArray& body = QByteArray());
    void setResource(const QString& path, const Resource& resource);
    void remove(const QString& path);

    // Request targets received so far (path with query text), oldest first.
    QStringList requests() const { return received; }
    // Connections that are open right now.
    int openConnections() const { return connections; }

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    void respond(QTcpSocket* socket, const QString& target);

    QTcpServer* server;
    QHash<QString, Resource> resources;
    QStringList received;
    int connections = 0;
};

} // namespace testsupport
