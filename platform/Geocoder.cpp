// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Geocoder.h"

#include "platform/Clock.h"
#include "platform/MainQueue.h"
#include "platform/Settings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <cmath>
#include <initializer_list>

namespace platform {

const QString Geocoder::BaseAddressKey = QStringLiteral("geocoderBaseAddress");
const QString Geocoder::DefaultBaseAddress = QStringLiteral("https://nominatim.openstreetmap.org");

struct Geocoder::Request
{
    quint64 id = 0;
    QUrl url;
};

namespace {

quint64 g_nextId = 1;

// The shared gate: the earliest moment the next request may leave.
struct Gate
{
    bool used = false;
    qint64 nextFree = 0;
};

Gate &gate()
{
    static Gate g;
    return g;
}

// Milliseconds until the slot just reserved.
qint64 reserveSlot()
{
    Gate &g = gate();
    const qint64 now = Clock::monotonicMs();
    const qint64 slot = g.used ? std::max(now, g.nextFree) : now;
    g.used = true;
    g.nextFree = slot + Geocoder::MinimumIntervalMs;
    return slot - now;
}

QString text(const QJsonObject &object, const char *key)
{
    return object.value(QLatin1String(key)).toString().trimmed();
}

// The first of the keys the service filled in.
QString firstOf(const QJsonObject &address, std::initializer_list<const char *> keys)
{
    for (const char *key : keys) {
        const QString value = text(address, key);
        if (!value.isEmpty())
            return value;
    }
    return {};
}

// The service writes coordinates as texts; numbers are read too.
std::optional<double> degrees(const QJsonValue &value)
{
    bool ok = value.isDouble();
    double number = value.toDouble();
    if (value.isString())
        number = QLocale::c().toDouble(value.toString(), &ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number;
}

Placemark placemark(const QJsonObject &place)
{
    const QJsonObject address = place.value(QLatin1String("address")).toObject();
    Placemark p;
    const auto latitude = degrees(place.value(QLatin1String("lat")));
    const auto longitude = degrees(place.value(QLatin1String("lon")));
    if (latitude && longitude && std::abs(*latitude) <= 90 && std::abs(*longitude) <= 180) {
        p.latitude = latitude;
        p.longitude = longitude;
    }
    p.name = text(place, "name");
    p.subThoroughfare = text(address, "house_number");
    p.thoroughfare = firstOf(address, { "road", "pedestrian", "footway", "path", "cycleway", "square" });
    p.subLocality = firstOf(address, { "suburb", "neighbourhood", "quarter", "city_district", "borough" });
    p.locality = firstOf(address, { "city", "town", "village", "hamlet", "municipality" });
    p.subAdministrativeArea = firstOf(address, { "county", "state_district" });
    p.administrativeArea = firstOf(address, { "state", "province", "region" });
    p.country = text(address, "country");
    p.postalCode = text(address, "postcode");
    p.isoCountryCode = text(address, "country_code").toUpper();
    return p;
}

// Latitude and longitude as the service reads them: plain decimals.
QString coordinateText(double degrees)
{
    return QString::number(degrees, 'f', 7);
}

QUrl endpoint(const QString &path, const QList<std::pair<QString, QString>> &items)
{
    QUrl url = Geocoder::baseAddress();
    QString base = url.path();
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    url.setPath(base + path);
    // Every value percent-encoded whole, '+' and '&' included, so the
    // service reads back exactly the text.
    QByteArray query;
    for (const auto &[key, value] : items) {
        if (!query.isEmpty())
            query += '&';
        query += QUrl::toPercentEncoding(key) + '=' + QUrl::toPercentEncoding(value);
    }
    url.setQuery(QString::fromLatin1(query), QUrl::StrictMode);
    return url;
}

} // namespace

Geocoder::Geocoder(QObject *parent)
    : QObject(parent)
    , m_network(new QNetworkAccessManager(this))
{ }

Geocoder::~Geocoder()
{
    // Replies aborted while the manager goes away answer nobody.
    m_latest.fill(0);
}

QUrl Geocoder::baseAddress()
{
    const QUrl stored(Settings::text(BaseAddressKey).value_or(QString()).trimmed());
    if (stored.isValid() && !stored.host().isEmpty()
        && (stored.scheme() == QLatin1String("https") || stored.scheme() == QLatin1String("http")))
        return stored;
    return QUrl(DefaultBaseAddress);
}

QByteArray Geocoder::userAgent()
{
    return QByteArrayLiteral("Calvorn/" CALVORN_VERSION " (" CALVORN_APP_ID ")");
}

QUrl Geocoder::forwardUrl(const QString &text)
{
    return endpoint(QStringLiteral("/search"),
        { { QStringLiteral("q"), text.trimmed() }, { QStringLiteral("format"), QStringLiteral("jsonv2") },
            { QStringLiteral("addressdetails"), QStringLiteral("1") },
            { QStringLiteral("limit"), QStringLiteral("5") } });
}

QUrl Geocoder::reverseUrl(double latitude, double longitude)
{
    return endpoint(QStringLiteral("/reverse"),
        { { QStringLiteral("lat"), coordinateText(latitude) },
            { QStringLiteral("lon"), coordinateText(longitude) },
            { QStringLiteral("format"), QStringLiteral("jsonv2") },
            { QStringLiteral("addressdetails"), QStringLiteral("1") } });
}

QList<Placemark> Geocoder::placemarksFromJson(const QByteArray &json)
{
    const QJsonDocument document = QJsonDocument::fromJson(json);
    QList<Placemark> placemarks;
    if (document.isArray()) {
        for (const QJsonValue &entry : document.array())
            if (entry.isObject())
                placemarks.append(placemark(entry.toObject()));
    } else if (document.isObject() && !document.object().contains(QLatin1String("error"))) {
        placemarks.append(placemark(document.object()));
    }
    return placemarks;
}

void Geocoder::resetRateLimit()
{
    gate() = Gate {};
}

void Geocoder::forward(const QString &text, Completion completion)
{
    if (text.trimmed().isEmpty()) {
        cancel(Forward);
        MainQueue::post(this, [completion = std::move(completion)] { completion({}); });
        return;
    }
    request(Forward, forwardUrl(text), std::move(completion));
}

void Geocoder::reverse(double latitude, double longitude, Completion completion)
{
    if (!(std::abs(latitude) <= 90) || !(std::abs(longitude) <= 180)) {
        cancel(Reverse);
        MainQueue::post(this, [completion = std::move(completion)] { completion({}); });
        return;
    }
    request(Reverse, reverseUrl(latitude, longitude), std::move(completion));
}

void Geocoder::cancelForward()
{
    cancel(Forward);
}

void Geocoder::cancelReverse()
{
    cancel(Reverse);
}

void Geocoder::cancel(Kind kind)
{
    m_latest[kind] = 0;
    m_waiting[kind].reset();
    m_completions[kind] = nullptr;
}

void Geocoder::request(Kind kind, const QUrl &url, Completion completion)
{
    const quint64 id = g_nextId++;
    m_latest[kind] = id;
    m_completions[kind] = std::move(completion);
    if (m_waiting[kind]) {
        // Takes the place of the one still waiting, and its slot.
        *m_waiting[kind] = Request { id, url };
        return;
    }
    m_waiting[kind] = std::make_unique<Request>(Request { id, url });
    const qint64 delay = reserveSlot();
    if (delay <= 0)
        send(kind);
    else
        MainQueue::after(int(delay), this, [this, kind] { send(kind); });
}

void Geocoder::send(Kind kind)
{
    const std::unique_ptr<Request> waiting = std::move(m_waiting[kind]);
    if (!waiting)
        return;
    QNetworkRequest request(waiting->url);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
    request.setRawHeader("Accept", "application/json");
    request.setRawHeader("Accept-Language", QLocale().uiLanguages().join(QLatin1Char(',')).toUtf8());
    QNetworkReply *reply = m_network->get(request);
    ++m_inFlight;
    emit requestStarted(waiting->url);
    const quint64 id = waiting->id;
    connect(reply, &QNetworkReply::finished, this, [this, kind, id, reply] { finished(kind, id, reply); });
    MainQueue::after(TimeoutMs, reply, [reply] { reply->abort(); });
}

void Geocoder::finished(Kind kind, quint64 id, QNetworkReply *reply)
{
    reply->deleteLater();
    --m_inFlight;
    if (id != m_latest[kind])
        return;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    QList<Placemark> placemarks;
    if (reply->error() == QNetworkReply::NoError && status >= 200 && status < 300)
        placemarks = placemarksFromJson(reply->readAll());
    m_latest[kind] = 0;
    const Completion completion = std::move(m_completions[kind]);
    m_completions[kind] = nullptr;
    if (completion)
        completion(placemarks);
}

} // namespace platform
