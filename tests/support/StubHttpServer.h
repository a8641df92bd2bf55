// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QUrl>

#include <functional>
#include <optional>

class QTcpSocket;

namespace testsupport {

// A small HTTP/1.1 server on 127.0.0.1 at an ephemeral port, for tests of
// network clients: it records every request and answers from a handler,
// or holds the answer until the test releases it (to answer out of order).
// Nothing leaves the machine.
class StubHttpServer : public QObject
{
    Q_OBJECT
public:
    struct Request
    {
        QByteArray method;
        QByteArray target; // path and query, as sent
        QHash<QByteArray, QByteArray> headers; // names in lower case
        QString path() const;
        // A query value decoded as a web service does ('+' is a blank).
        QString query(const QString &name) const;
    };
    struct Response
    {
        int status = 200;
        QByteArray contentType = "application/json";
        QByteArray body;
    };
    // No answer holds the request until respond() releases it.
    using Handler = std::function<std::optional<Response>(const Request &)>;

    explicit StubHttpServer(QObject *parent = nullptr);
    ~StubHttpServer() override;

    QString baseUrl() const;
    void setHandler(Handler handler) { m_handler = std::move(handler); }

    const QList<Request> &requests() const { return m_requests; }
    int heldCount() const { return int(m_held.size()); }
    // Answers the held request at index (in arrival order of those held).
    void respond(int index, const Response &response);

signals:
    void requestReceived();

private:
    void readFrom(QTcpSocket *socket);
    static void send(QTcpSocket *socket, const Response &response);

    QTcpServer m_server;
    Handler m_handler;
    QList<Request> m_requests;
    QHash<QTcpSocket *, QByteArray> m_buffers;
    QList<QTcpSocket *> m_held;
};

// A PNG of one colour, size by size pixels.
QByteArray pngOfColour(const QColor &colour, int size = 256);

// Runs the event loop until done() holds; false when guardMs passed first.
// Waits for events, never sleeps.
bool waitUntil(const std::function<bool()> &done, int guardMs = 10000);

// Sends every request that is not for 127.0.0.1 to a proxy that does not
// exist, so a test that forgot to point a client at its stub fails instead
// of reaching the real network.
void blockOutsideNetwork();

} // namespace testsupport
