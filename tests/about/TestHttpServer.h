// A one-answer HTTP server on 127.0.0.1 for the update check: every request
// gets the same status and body, and the request lines are recorded.
#pragma once

#include <QByteArray>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <functional>

namespace bitonix::test {

class TTestHttpServer {
public:
    TTestHttpServer() {
        FServer.listen(QHostAddress::LocalHost);
        QObject::connect(&FServer, &QTcpServer::newConnection, &FServer, [this] { Accept(); });
    }

    // The server's address, for TAbout::SetUpdateServer.
    QUrl Url() const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(FServer.serverPort()));
    }

    int Status = 200;
    QByteArray Body;
    // Request lines as received ("GET /bitonix/version.json?r=... HTTP/1.1").
    QStringList Requests;
    // Called when a request has arrived, before it is answered.
    std::function<void()> OnRequest;

private:
    void Accept() {
        while (QTcpSocket* socket = FServer.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::readyRead, socket,
                             [this, socket] { Read(socket); });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }
    void Read(QTcpSocket* socket) {
        QByteArray& request = FPending[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n")) {
            return;
        }
        Requests.append(QString::fromLatin1(request.left(request.indexOf("\r\n"))));
        FPending.remove(socket);
        if (OnRequest) {
            OnRequest();
        }
        socket->write("HTTP/1.1 " + QByteArray::number(Status) + " Answer\r\n" +
                      "Content-Type: application/json\r\nContent-Length: " +
                      QByteArray::number(Body.size()) + "\r\nConnection: close\r\n\r\n" + Body);
        socket->disconnectFromHost();
    }

    QTcpServer FServer;
    QHash<QTcpSocket*, QByteArray> FPending;
};

} // namespace bitonix::test
