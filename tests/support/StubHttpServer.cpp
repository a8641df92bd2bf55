// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/StubHttpServer.h"

#include <QBuffer>
#include <QColor>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>

namespace testsupport {

QString StubHttpServer::Request::path() const
{
    return QUrl::fromEncoded(target).path();
}

QString StubHttpServer::Request::query(const QString &name) const
{
    const QByteArray query = QUrl::fromEncoded(target).query(QUrl::FullyEncoded).toLatin1();
    for (const QByteArray &pair : query.split('&')) {
        const qsizetype equals = pair.indexOf('=');
        const QByteArray key = pair.left(equals);
        if (QString::fromUtf8(QByteArray::fromPercentEncoding(key)) != name)
            continue;
        QByteArray value = pair.mid(equals + 1);
        value.replace('+', ' ');
        return QString::fromUtf8(QByteArray::fromPercentEncoding(value));
    }
    return {};
}

StubHttpServer::StubHttpServer(QObject *parent)
    : QObject(parent)
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QObject::destroyed, this, [this, socket] {
                m_buffers.remove(socket);
                m_held.removeAll(socket);
            });
        }
    });
}

StubHttpServer::~StubHttpServer() = default;

QString StubHttpServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
}

void StubHttpServer::readFrom(QTcpSocket *socket)
{
    QByteArray &buffer = m_buffers[socket];
    buffer += socket->readAll();
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0)
        return;
    const QList<QByteArray> lines = buffer.left(end).split('\n');
    buffer.remove(0, end + 4);
    Request request;
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    request.method = first.value(0);
    request.target = first.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers.insert(
                lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
    }
    m_requests.append(request);
    const std::optional<Response> response
        = m_handler ? m_handler(request) : Response { 404, "text/plain", {} };
    if (response)
        send(socket, *response);
    else
        m_held.append(socket);
    emit requestReceived();
}

void StubHttpServer::respond(int index, const Response &response)
{
    if (index >= 0 && index < m_held.size())
        send(m_held.takeAt(index), response);
}

void StubHttpServer::send(QTcpSocket *socket, const Response &response)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + " Stub\r\n";
    head += "Content-Type: " + response.contentType + "\r\n";
    head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    head += "Cache-Control: no-store\r\nConnection: close\r\n\r\n";
    socket->write(head + response.body);
    socket->disconnectFromHost();
}

QByteArray pngOfColour(const QColor &colour, int size)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

bool waitUntil(const std::function<bool()> &done, int guardMs)
{
    const QDeadlineTimer deadline(guardMs);
    // Wakes the loop when nothing else happens.
    QTimer wake;
    wake.start(50);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void blockOutsideNetwork()
{
    QNetworkProxy::setApplicationProxy(
        QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), 9));
}

} // namespace testsupport
