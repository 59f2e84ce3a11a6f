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
        QByteArray location;       // Location header of a redirect
        bool sendLength = true;    // without it the body ends when the connection closes
        int chunkSize = 0;         // 0: the whole body at once
        int chunkDelayMs = 0;      // pause before every chunk after the first
        int cutAfter = -1;         // close the connection after this many body bytes
        qint64 generatedSize = -1; // instead of body: made up as the client drains the socket
        int stallAfter = -1;       // send this many body bytes, then silence on an open line
    };

    explicit LocalHttpServer(QObject* parent = nullptr);
    ~LocalHttpServer() override;

    // Listens on a free port of 127.0.0.1; false when that fails.
    bool start();
    // The same over TLS with the given PEM certificate and key; url() then says "https".
    bool startTls(const QByteArray& certificatePem, const QByteArray& privateKeyPem);
    quint16 port() const;
    // "http://127.0.0.1:<port>" (or https) + path (path begins with '/').
    QString url(const QString& path) const;

    // Paths are matched without their query text. Unknown paths get 404.
    void serve(const QString& path, const QByteArray& body);
    void serveSlowly(const QString& path, const QByteArray& body, int chunkSize, int delayMs);
    // A body of size bytes (a repeated pattern) produced while it is being sent.
    void serveGenerated(const QString& path, qint64 size, bool sendLength = true);
    // Headers and the first bytes of body, then silence on an open connection.
    void serveStalling(const QString& path, const QByteArray& body, int stallAfter);
    void serveStatus(const QString& path, int status, const QByteArray& body = QByteArray());
    void redirect(const QString& path, const QString& location, int status = 302);
    void setResource(const QString& path, const Resource& resource);
    void remove(const QString& path);

    // Request targets received so far (path with query text), oldest first.
    QStringList requests() const { return received; }
    // Connections that are open right now.
    int openConnections() const { return connections; }
    // Body bytes of generated answers handed to sockets so far.
    qint64 generatedBytesSent() const { return generatedSent; }

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    void respond(QTcpSocket* socket, const QString& target);
    void sendGenerated(QTcpSocket* socket, qint64 size);

    class Listener;
    Listener* server;
    QHash<QString, Resource> resources;
    QStringList received;
    int connections = 0;
    qint64 generatedSent = 0;
};

} // namespace testsupport
