#include "localhttpserver.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace testsupport {

LocalHttpServer::LocalHttpServer(QObject* parent) : QObject(parent), server(new QTcpServer(this))
{
    connect(server, &QTcpServer::newConnection, this, &LocalHttpServer::onNewConnection);
}

LocalHttpServer::~LocalHttpServer() = default;

bool LocalHttpServer::start()
{
    return server->listen(QHostAddress::LocalHost, 0);
}

quint16 LocalHttpServer::port() const
{
    return server->serverPort();
}

QString LocalHttpServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

void LocalHttpServer::serve(const QString& path, const QByteArray& body)
{
    Resource resource;
    resource.body = body;
    resources.insert(path, resource);
}

void LocalHttpServer::serveSlowly(const QString& path, const QByteArray& body, int chunkSize,
                                  int delayMs)
{
    Resource resource;
    resource.body = body;
    resource.chunkSize = chunkSize;
    resource.chunkDelayMs = delayMs;
    resources.insert(path, resource);
}

void LocalHttpServer::serveStatus(const QString& path, int status, const QByteArray& body)
{
    Resource resource;
    resource.status = status;
    resource.body = body;
    resources.insert(path, resource);
}

void LocalHttpServer::setResource(const QString& path, const Resource& resource)
{
    resources.insert(path, resource);
}

void LocalHttpServer::remove(const QString& path)
{
    resources.remove(path);
}

void LocalHttpServer::onNewConnection()
{
    while (QTcpSocket* socket = server->nextPendingConnection()) {
        ++connections;
        socket->setProperty("request", QByteArray());
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            --connections;
            socket->deleteLater();
        });
    }
}

void LocalHttpServer::onReadyRead(QTcpSocket* socket)
{
    if (socket->property("answered").toBool()) {
        socket->readAll();
        return;
    }
    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", request);
    // Not HTTP at all: refuse at once instead of waiting.
    if (!request.isEmpty() && !(request.at(0) >= 'A' && request.at(0) <= 'Z')) {
        socket->setProperty("answered", true);
        received << QStringLiteral("<not http>");
        socket->write("HTTP/1.1 400 Bad Request\r\nConnection: close\r\nContent-Length: 0\r\n\r\n");
        socket->disconnectFromHost();
        return;
    }
    const int end = request.indexOf("\r\n\r\n");
    if (end < 0)
        return;
    socket->setProperty("answered", true);
    // "GET /path?query HTTP/1.1"
    const QList<QByteArray> requestLine = request.left(request.indexOf("\r\n")).split(' ');
    const QString target =
        requestLine.size() >= 2 ? QString::fromUtf8(requestLine.at(1)) : QString();
    received << target;
    respond(socket, target);
}

void LocalHttpServer::respond(QTcpSocket* socket, const QString& target)
{
    const QString path = QUrl(target).path(QUrl::FullyEncoded);
    Resource resource;
    if (resources.contains(path)) {
        resource = resources.value(path);
    } else {
        resource.status = 404;
        resource.body = "not found";
    }

    QByteArray head = "HTTP/1.1 " + QByteArray::number(resource.status) +
                      (resource.status == 200 ? " OK\r\n" : " Status\r\n");
    head += "Connection: close\r\n";
    head += "Content-Type: application/octet-stream\r\n";
    if (resource.sendLength)
        head += "Content-Length: " +
                QByteArray::number(resource.announced >= 0 ? resource.announced
                                                           : qint64(resource.body.size())) +
                "\r\n";
    head += "\r\n";
    socket->write(head);

    if (resource.cutAfter >= 0) {
        socket->write(resource.body.left(resource.cutAfter));
        socket->disconnectFromHost();
        return;
    }

    if (resource.chunkSize <= 0 || resource.body.size() <= resource.chunkSize) {
        socket->write(resource.body);
        socket->disconnectFromHost();
        return;
    }

    // Trickle the body out; the timer dies with the socket when the client goes away.
    auto* timer = new QTimer(socket);
    timer->setInterval(resource.chunkDelayMs);
    auto offset = std::make_shared<int>(0);
    const QByteArray body = resource.body;
    const int chunk = resource.chunkSize;
    QPointer<QTcpSocket> guarded(socket);
    auto sendNext = [guarded, timer, offset, body, chunk] {
        if (!guarded || guarded->state() != QAbstractSocket::ConnectedState) {
            timer->stop();
            return;
        }
        guarded->write(body.mid(*offset, chunk));
        *offset += chunk;
        if (*offset >= body.size()) {
            timer->stop();
            guarded->disconnectFromHost();
        }
    };
    connect(timer, &QTimer::timeout, socket, sendNext);
    sendNext();
    if (*offset < body.size())
        timer->start();
}

} // namespace testsupport
