// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

namespace platform {

// One place found by a lookup. Empty texts are parts the service did not
// give.
struct Placemark
{
    std::optional<double> latitude;
    std::optional<double> longitude;
    QString name;
    QString subThoroughfare; // house number
    QString thoroughfare; // street
    QString subLocality; // suburb, neighbourhood
    QString locality; // city, town, village
    QString subAdministrativeArea; // county
    QString administrativeArea; // state, province
    QString country;
    QString postalCode;
    QString isoCountryCode; // upper case

    bool hasLocation() const { return latitude && longitude; }
};

// Addresses for places and places for addresses, from a web service that
// speaks the Nominatim search and reverse interface (JSON). Public services
// of that kind ask for an identifying User-Agent and at most one request a
// second, so every geocoder of the program shares one gate: a request
// waits for its slot, and a newer lookup of the same kind replaces one of
// its geocoder that is still waiting.
//
// Each geocoder answers only the latest lookup of each kind: an answer that
// arrives after a newer request of its kind was made is dropped. Failures,
// time-outs and answers the service could not match all give an empty
// list. Completions run on the GUI thread. Waits go through the Clock seam.
class Geocoder : public QObject
{
    Q_OBJECT
public:
    using Completion = std::function<void(const QList<Placemark> &placemarks)>;

    static const QString BaseAddressKey;
    static const QString DefaultBaseAddress;
    static constexpr int MinimumIntervalMs = 1000;
    static constexpr int TimeoutMs = 10000;

    explicit Geocoder(QObject *parent = nullptr);
    ~Geocoder() override;

    // Places matching an address text (best first). An empty or blank
    // text asks nothing and answers at once with an empty list.
    void forward(const QString &text, Completion completion);
    // The address of a position (degrees, south and west negative); a
    // position off the globe answers at once with an empty list.
    void reverse(double latitude, double longitude, Completion completion);
    // Forgets the lookups of that kind: a waiting one is not sent and an
    // answer on its way is dropped.
    void cancelForward();
    void cancelReverse();

    // The service's address from the settings, else the default.
    static QUrl baseAddress();
    // "Calvorn/<version> (<application id>)".
    static QByteArray userAgent();
    // The request URLs, as sent.
    static QUrl forwardUrl(const QString &text);
    static QUrl reverseUrl(double latitude, double longitude);

    // Reads a service answer: a list of places (search) or one place
    // (reverse); an error object or anything else gives none.
    static QList<Placemark> placemarksFromJson(const QByteArray &json);

    // Requests sent and not yet answered.
    int requestsInFlight() const { return m_inFlight; }

    // Opens the shared gate at once, for tests that switch the manual clock
    // on afresh.
    static void resetRateLimit();

signals:
    // A request left for the service.
    void requestStarted(const QUrl &url);

private:
    enum Kind { Forward = 0, Reverse = 1 };
    struct Request;

    void request(Kind kind, const QUrl &url, Completion completion);
    void cancel(Kind kind);
    void send(Kind kind);
    void finished(Kind kind, quint64 id, QNetworkReply *reply);

    QNetworkAccessManager *m_network;
    // The latest lookup of each kind; 0 when none is wanted.
    std::array<quint64, 2> m_latest {};
    // A lookup waiting for its slot at the gate.
    std::array<std::unique_ptr<Request>, 2> m_waiting;
    std::array<Completion, 2> m_completions;
    int m_inFlight = 0;
};

} // namespace platform
