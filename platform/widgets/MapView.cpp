// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/MapView.h"

#include "platform/Animation.h"
#include "platform/Easing.h"
#include "platform/Geocoder.h"
#include "platform/MainQueue.h"
#include "platform/Paths.h"
#include "platform/Settings.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace platform {

const QString MapView::DefaultTileTemplate = QStringLiteral("https://tile.openstreetmap.org/{z}/{x}/{y}.png");
const QString MapView::DefaultAttribution = QStringLiteral(u"\u00A9 OpenStreetMap contributors");

namespace {

constexpr qint64 DiskCacheBytes = 100LL * 1024 * 1024;
constexpr int TileTimeoutMs = 20000;
constexpr int MemoryTiles = 256;
// Grid lines at least this far apart.
constexpr double GridSpacingPx = 90;

const char *const typeNames[] = { "Standard", "Satellite", "Hybrid" };

double clampLatitude(double latitude)
{
    return std::clamp(latitude, -MapView::MaximumLatitude, MapView::MaximumLatitude);
}

double mercatorX(double longitude)
{
    return (longitude + 180.0) / 360.0;
}

double mercatorY(double latitude)
{
    const double phi = clampLatitude(latitude) * M_PI / 180.0;
    return (1.0 - std::asinh(std::tan(phi)) / M_PI) / 2.0;
}

double latitudeOf(double y)
{
    return std::atan(std::sinh(M_PI * (1.0 - 2.0 * y))) * 180.0 / M_PI;
}

double wrapUnit(double x)
{
    return x - std::floor(x);
}

// The normalised point of a coordinate: x wrapped into 0..1, y clamped.
QPointF mercatorOf(const MapView::Coordinate &c)
{
    const double longitude = std::isfinite(c.longitude) ? c.longitude : 0;
    const double latitude = std::isfinite(c.latitude) ? c.latitude : 0;
    return { wrapUnit(mercatorX(longitude)), mercatorY(latitude) };
}

QPointF normalised(const QPointF &p)
{
    return { wrapUnit(p.x()), std::clamp(p.y(), 0.0, 1.0) };
}

bool isUsableTemplate(const QString &tileTemplate)
{
    const QUrl url(tileTemplate);
    return url.isValid() && !url.host().isEmpty()
        && (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http"))
        && tileTemplate.contains(QLatin1String("{z}")) && tileTemplate.contains(QLatin1String("{x}"))
        && tileTemplate.contains(QLatin1String("{y}"));
}

// A grid step in degrees that leaves at least minimum degrees between lines.
double gridStep(double minimum)
{
    static const double steps[] = { 0.0001, 0.0002, 0.0005, 0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1, 0.2,
        0.5, 1, 2, 5, 10, 15, 30, 45, 90 };
    for (double step : steps)
        if (step >= minimum)
            return step;
    return 90;
}

QString degreesText(double value, QChar positive, QChar negative)
{
    const double rounded = std::round(value * 10000.0) / 10000.0;
    if (rounded == 0)
        return QStringLiteral(u"0\u00B0");
    return QString::number(std::abs(rounded), 'g', 8) + QChar(0x00B0) + (rounded > 0 ? positive : negative);
}

} // namespace

QString MapView::tileTemplateKey(MapType type)
{
    return QStringLiteral("mapTiles") + QLatin1String(typeNames[int(type)]);
}

QString MapView::attributionKey(MapType type)
{
    return QStringLiteral("mapAttribution") + QLatin1String(typeNames[int(type)]);
}

QString MapView::tileTemplate(MapType type)
{
    const QString stored = Settings::text(tileTemplateKey(type)).value_or(QString()).trimmed();
    if (isUsableTemplate(stored))
        return stored;
    return type == MapType::Standard ? DefaultTileTemplate : QString();
}

bool MapView::isMapTypeAvailable(MapType type)
{
    return !tileTemplate(type).isEmpty();
}

QUrl MapView::tileUrl(const QString &tileTemplate, const Tile &tile)
{
    QString text = tileTemplate;
    text.replace(QLatin1String("{z}"), QString::number(tile.z));
    text.replace(QLatin1String("{x}"), QString::number(tile.x));
    text.replace(QLatin1String("{y}"), QString::number(tile.y));
    return QUrl(text);
}

int MapView::zoomForSpan(double spanDegrees, const QSize &size, double latitude)
{
    if (!(spanDegrees > 0) || !std::isfinite(spanDegrees) || size.isEmpty())
        return MaximumZoom;
    const double byLongitude = std::log2(size.width() * 360.0 / (TileSize * std::min(spanDegrees, 360.0)));
    double byLatitude = byLongitude;
    const double centre = std::isfinite(latitude) ? clampLatitude(latitude) : 0;
    const double height = mercatorY(centre - spanDegrees / 2) - mercatorY(centre + spanDegrees / 2);
    if (height > 0)
        byLatitude = std::log2(size.height() / (TileSize * height));
    const double zoom = std::floor(std::min(byLongitude, byLatitude));
    return int(std::clamp(zoom, double(MinimumZoom), double(MaximumZoom)));
}

MapView::MapView(QWidget *parent)
    : QWidget(parent)
    , m_network(new QNetworkAccessManager(this))
    , m_animation(new Animation(this))
    , m_tiles(MemoryTiles)
{
    setMinimumSize(200, 150);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);

    auto *cache = new QNetworkDiskCache(m_network);
    cache->setCacheDirectory(Paths::cacheFolder() + QStringLiteral("/tiles"));
    cache->setMaximumCacheSize(DiskCacheBytes);
    m_network->setCache(cache);

    m_animation->setDuration(AnimationMs);
    m_animation->setEasingCurve(Easing::easeInEaseOut());
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_shown = normalised(value.toPointF());
        update();
    });

    loadSettings();
    connect(&Settings::instance(), &Settings::changed, this, [this](const QString &key) {
        if (!key.startsWith(QLatin1String("mapTiles")) && !key.startsWith(QLatin1String("mapAttribution")))
            return;
        loadSettings();
        m_failed.clear();
        requestTiles();
        update();
    });
}

MapView::~MapView()
{
    m_animation->stop();
    // Tiles still on their way answer nobody: the replies go before the
    // members they would write into.
    for (QNetworkReply *reply : m_loading.keys())
        reply->disconnect(this);
    delete m_network;
}

void MapView::loadSettings()
{
    for (int i = 0; i < 3; ++i) {
        const auto type = MapType(i);
        m_templates[i] = tileTemplate(type);
        m_attributions[i] = Settings::text(attributionKey(type)).value_or(QString()).trimmed();
        if (m_attributions[i].isEmpty() && type == MapType::Standard && m_templates[i] == DefaultTileTemplate)
            m_attributions[i] = DefaultAttribution;
    }
}

double MapView::worldSize() const
{
    return double(TileSize) * double(1 << m_zoom);
}

MapView::Coordinate MapView::centre() const
{
    return { latitudeOf(m_target.y()), m_target.x() * 360.0 - 180.0 };
}

MapView::Coordinate MapView::displayedCentre() const
{
    return { latitudeOf(m_shown.y()), m_shown.x() * 360.0 - 180.0 };
}

bool MapView::isAnimating() const
{
    return m_animation->isRunning();
}

void MapView::setRegion(const Coordinate &centre, double spanDegrees, bool animated)
{
    m_span = spanDegrees;
    const QSize fitting = size().isEmpty() ? QSize(512, 384) : size();
    m_failed.clear();
    const QPointF target = mercatorOf(centre);
    const int zoom = zoomForSpan(spanDegrees, fitting, centre.latitude);

    m_animation->stop();
    QPointF from = m_shown;
    // Go the short way round the date line.
    if (target.x() - from.x() > 0.5)
        from.rx() += 1;
    else if (from.x() - target.x() > 0.5)
        from.rx() -= 1;
    const double distance = std::hypot(target.x() - from.x(), target.y() - from.y()) * worldSize();
    const bool animate = animated && zoom == m_zoom && isVisible()
        && distance <= 2.0 * std::max(width(), height()) && distance > 0;
    m_zoom = zoom;
    m_target = target;
    if (animate) {
        m_animation->setStartValue(from);
        m_animation->setEndValue(target);
        m_animation->start();
    } else {
        m_shown = target;
    }
    requestTiles();
    update();
}

void MapView::setZoomLevel(int zoom)
{
    zoomAround(std::clamp(zoom, MinimumZoom, MaximumZoom) - m_zoom, rect().center());
}

void MapView::moveTo(const QPointF &mercator, int zoom)
{
    m_animation->stop();
    m_zoom = zoom;
    m_target = m_shown = normalised(mercator);
    requestTiles();
    update();
}

void MapView::zoomAround(int steps, const QPointF &point)
{
    const int zoom = std::clamp(m_zoom + steps, MinimumZoom, MaximumZoom);
    if (zoom == m_zoom)
        return;
    const QPointF offset = point - QPointF(width() / 2.0, height() / 2.0);
    const QPointF under = m_shown + offset / worldSize();
    const double newWorld = double(TileSize) * double(1 << zoom);
    m_span = 0;
    moveTo(under - offset / newWorld, zoom);
}

bool MapView::setMapType(MapType type)
{
    m_requestedType = type;
    m_failed.clear();
    requestTiles();
    update();
    return shownMapType() == type;
}

MapView::MapType MapView::shownMapType() const
{
    return m_templates[int(m_requestedType)].isEmpty() ? MapType::Standard : m_requestedType;
}

QString MapView::attribution() const
{
    const int shown = int(shownMapType());
    if (!m_attributions[shown].isEmpty())
        return m_attributions[shown];
    return QUrl(m_templates[shown]).host();
}

QString MapView::note() const
{
    if (shownMapType() == m_requestedType)
        return {};
    return tr("No tile address is set for this map type; showing the standard map.");
}

void MapView::setPinCoordinate(const Coordinate &coordinate)
{
    m_pin = coordinate;
    update();
}

void MapView::setPinDraggable(bool draggable)
{
    m_pinDraggable = draggable;
}

QPointF MapView::pinPoint() const
{
    return pointForCoordinate(m_pin);
}

void MapView::setPinVisible(bool visible)
{
    if (m_pinVisible == visible)
        return;
    m_pinVisible = visible;
    update();
}

QRect MapView::pinRect() const
{
    const QPointF tip = pinPoint() + m_dragOffset;
    return QRectF(tip.x() - 11, tip.y() - 35, 22, 37).toAlignedRect();
}

QPointF MapView::worldPointOf(const QPointF &mercator) const
{
    return mercator * worldSize();
}

QPointF MapView::pointForCoordinate(const Coordinate &coordinate) const
{
    const QPointF m = mercatorOf(coordinate);
    double dx = m.x() - m_shown.x();
    dx -= std::floor(dx + 0.5);
    const double dy = m.y() - m_shown.y();
    return { width() / 2.0 + dx * worldSize(), height() / 2.0 + dy * worldSize() };
}

MapView::Coordinate MapView::coordinateForPoint(const QPointF &point) const
{
    const QPointF offset = point - QPointF(width() / 2.0, height() / 2.0);
    const QPointF m = normalised(m_shown + offset / worldSize());
    return { latitudeOf(m.y()), m.x() * 360.0 - 180.0 };
}

QList<MapView::TileSpot> MapView::tileSpots(const QPointF &mercatorCentre) const
{
    QList<TileSpot> spots;
    if (width() <= 0 || height() <= 0)
        return spots;
    const int count = 1 << m_zoom;
    const QPointF centre = worldPointOf(mercatorCentre);
    const double left = centre.x() - width() / 2.0;
    const double top = centre.y() - height() / 2.0;
    const int x0 = int(std::floor(left / TileSize));
    const int x1 = int(std::floor((left + width() - 1) / TileSize));
    const int y0 = std::max(0, int(std::floor(top / TileSize)));
    const int y1 = std::min(count - 1, int(std::floor((top + height() - 1) / TileSize)));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            spots.append({ Tile { m_zoom, ((x % count) + count) % count, y },
                QPointF(x * double(TileSize) - left, y * double(TileSize) - top) });
    return spots;
}

QList<MapView::Tile> MapView::tilesAround(const QPointF &mercatorCentre) const
{
    // Nearest the middle first; a tile seen twice (a world narrower than
    // the view) once.
    QList<TileSpot> spots = tileSpots(mercatorCentre);
    const QPointF middle(width() / 2.0 - TileSize / 2.0, height() / 2.0 - TileSize / 2.0);
    std::stable_sort(spots.begin(), spots.end(), [&](const TileSpot &a, const TileSpot &b) {
        const QPointF da = a.topLeft - middle;
        const QPointF db = b.topLeft - middle;
        return QPointF::dotProduct(da, da) < QPointF::dotProduct(db, db);
    });
    QList<Tile> tiles;
    for (const TileSpot &spot : spots)
        if (!tiles.contains(spot.tile))
            tiles.append(spot.tile);
    return tiles;
}

QList<MapView::Tile> MapView::visibleTiles() const
{
    return tilesAround(m_target);
}

QUrl MapView::tileUrl(const Tile &tile) const
{
    return tileUrl(m_templates[int(shownMapType())], tile);
}

bool MapView::hasTile(const Tile &tile) const
{
    return m_tiles.contains(tileUrl(tile));
}

void MapView::requestTiles()
{
    m_queue.clear();
    // A map nobody sees fetches nothing.
    if (!isVisible())
        return;
    const QList<QUrl> loading = m_loading.values();
    for (const Tile &tile : visibleTiles()) {
        const QUrl url = tileUrl(tile);
        if (url.isValid() && !m_tiles.contains(url) && !m_failed.contains(url) && !loading.contains(url))
            m_queue.append(url);
    }
    startDownloads();
}

void MapView::startDownloads()
{
    while (m_loading.size() < MaximumDownloads && !m_queue.isEmpty()) {
        const QUrl url = m_queue.takeFirst();
        QNetworkRequest request(url);
        request.setHeader(QNetworkRequest::UserAgentHeader, Geocoder::userAgent());
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::PreferCache);
        QNetworkReply *reply = m_network->get(request);
        m_loading.insert(reply, url);
        connect(reply, &QNetworkReply::finished, this, [this, reply] { tileArrived(reply); });
        MainQueue::after(TileTimeoutMs, reply, [reply] { reply->abort(); });
    }
}

void MapView::tileArrived(QNetworkReply *reply)
{
    reply->deleteLater();
    const QUrl url = m_loading.take(reply);
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    QImage image;
    if (reply->error() == QNetworkReply::NoError && status >= 200 && status < 300)
        image = QImage::fromData(reply->readAll());
    const bool ok = !image.isNull();
    if (ok)
        m_tiles.insert(url, new QImage(std::move(image)));
    else
        m_failed.insert(url);
    emit tileFinished(url, ok);
    update();
    startDownloads();
}

void MapView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_span > 0) {
        m_animation->stop();
        m_shown = m_target;
        m_zoom = zoomForSpan(m_span, size(), latitudeOf(m_target.y()));
    }
    requestTiles();
}

void MapView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    requestTiles();
}

void MapView::hideEvent(QHideEvent *event)
{
    // A drag the window took away still counts where the pin was let go.
    if (m_drag == Drag::Pin)
        commitPinDrag();
    m_drag = Drag::None;
    QWidget::hideEvent(event);
}

void MapView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_dragStart = event->position();
    m_dragOffset = {};
    if (m_pinDraggable && m_pinVisible
        && pinRect().adjusted(-4, -4, 4, 4).contains(event->position().toPoint())) {
        m_drag = Drag::Pin;
        setCursor(Qt::ClosedHandCursor);
    } else {
        m_animation->stop();
        m_drag = Drag::Pan;
        m_panFrom = m_shown;
    }
    event->accept();
}

void MapView::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF delta = event->position() - m_dragStart;
    switch (m_drag) {
    case Drag::Pin:
        m_dragOffset = delta;
        update();
        break;
    case Drag::Pan:
        m_span = 0;
        moveTo(m_panFrom - delta / worldSize(), m_zoom);
        break;
    case Drag::None:
        if (m_pinDraggable && m_pinVisible && pinRect().contains(event->position().toPoint()))
            setCursor(Qt::OpenHandCursor);
        else
            unsetCursor();
        break;
    }
}

void MapView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    if (m_drag == Drag::Pin) {
        m_dragOffset = event->position() - m_dragStart;
        commitPinDrag();
    }
    m_drag = Drag::None;
    unsetCursor();
}

void MapView::commitPinDrag()
{
    const QPointF dropped = pointForCoordinate(m_pin) + m_dragOffset;
    m_dragOffset = {};
    m_drag = Drag::None;
    m_pin = coordinateForPoint(dropped);
    update();
    emit pinDropped(m_pin.latitude, m_pin.longitude);
}

void MapView::wheelEvent(QWheelEvent *event)
{
    m_wheelRemainder += event->angleDelta().y();
    const int steps = m_wheelRemainder / 120;
    m_wheelRemainder %= 120;
    if (steps != 0)
        zoomAround(steps, event->position());
    event->accept();
}

void MapView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomAround(1, rect().center());
        break;
    case Qt::Key_Minus:
        zoomAround(-1, rect().center());
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void MapView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    drawGrid(painter);
    drawTiles(painter);
    if (m_pinVisible)
        drawPin(painter);
    drawNote(painter);
    drawAttribution(painter);
}

void MapView::drawGrid(QPainter &painter) const
{
    painter.fillRect(rect(), QColor(0xee, 0xef, 0xe8));
    const QPointF centre = worldPointOf(m_shown);
    const double left = centre.x() - width() / 2.0;
    const double top = centre.y() - height() / 2.0;
    const double world = worldSize();
    const double step = gridStep(GridSpacingPx * 360.0 / world);

    painter.setPen(QPen(QColor(0xc4, 0xc8, 0xbb), 1));
    QFont small = painter.font();
    small.setPointSizeF(std::max(7.0, small.pointSizeF() - 2));
    painter.setFont(small);
    const QColor labelColour(0x70, 0x76, 0x68);

    const double westmost = left / world * 360.0 - 180.0;
    const double eastmost = (left + width()) / world * 360.0 - 180.0;
    for (double lon = std::ceil(westmost / step) * step; lon <= eastmost; lon += step) {
        const double x = (lon + 180.0) / 360.0 * world - left;
        painter.drawLine(QPointF(x, 0), QPointF(x, height()));
        double shown = std::fmod(lon + 180.0, 360.0);
        shown = (shown < 0 ? shown + 360.0 : shown) - 180.0;
        painter.save();
        painter.setPen(labelColour);
        painter.drawText(
            QPointF(x + 3, height() - 4), degreesText(shown, QLatin1Char('E'), QLatin1Char('W')));
        painter.restore();
    }
    const double northmost = latitudeOf(std::clamp(top / world, 0.0, 1.0));
    const double southmost = latitudeOf(std::clamp((top + height()) / world, 0.0, 1.0));
    for (double lat = std::ceil(southmost / step) * step; lat <= northmost; lat += step) {
        const double y = mercatorY(lat) * world - top;
        painter.drawLine(QPointF(0, y), QPointF(width(), y));
        painter.save();
        painter.setPen(labelColour);
        painter.drawText(QPointF(3, y - 3), degreesText(lat, QLatin1Char('N'), QLatin1Char('S')));
        painter.restore();
    }
}

void MapView::drawTiles(QPainter &painter) const
{
    for (const TileSpot &spot : tileSpots(m_shown))
        if (const QImage *image = m_tiles.object(tileUrl(spot.tile)))
            painter.drawImage(QRectF(spot.topLeft, QSizeF(TileSize, TileSize)), *image);
}

void MapView::drawPin(QPainter &painter) const
{
    const QPointF tip = pinPoint() + m_dragOffset;
    const QPointF head(tip.x(), tip.y() - 24);
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 60));
    painter.drawEllipse(tip, 6, 2.5);
    QPainterPath body;
    body.moveTo(tip);
    body.lineTo(head.x() - 7.5, head.y() + 5);
    body.arcTo(QRectF(head.x() - 10, head.y() - 10, 20, 20), 210, -240);
    body.closeSubpath();
    painter.setPen(QPen(QColor(0x8e, 0x1b, 0x1b), 1.2));
    painter.setBrush(QColor(0xd9, 0x2b, 0x2b));
    painter.drawPath(body);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(head, 3.5, 3.5);
    painter.restore();
}

void MapView::drawNote(QPainter &painter) const
{
    const QString text = note();
    if (text.isEmpty())
        return;
    const QFontMetrics metrics(painter.font());
    QRect box
        = metrics.boundingRect(rect().adjusted(16, 0, -16, 0), Qt::AlignHCenter | Qt::TextWordWrap, text);
    box.moveTop(10);
    box.adjust(-8, -5, 8, 5);
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 250, 220, 235));
    painter.drawRoundedRect(box, 5, 5);
    painter.setPen(QColor(0x44, 0x40, 0x30));
    painter.drawText(box, Qt::AlignCenter | Qt::TextWordWrap, text);
    painter.restore();
}

void MapView::drawAttribution(QPainter &painter) const
{
    const QString text = attribution();
    if (text.isEmpty())
        return;
    painter.save();
    QFont small = painter.font();
    small.setPointSizeF(std::max(7.0, small.pointSizeF() - 1.5));
    painter.setFont(small);
    const QFontMetrics metrics(small);
    QRect box = metrics.boundingRect(text).adjusted(-5, -2, 5, 2);
    box.moveBottomRight(rect().bottomRight());
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 210));
    painter.drawRect(box);
    painter.setPen(QColor(0x33, 0x33, 0x33));
    painter.drawText(box, Qt::AlignCenter, text);
    painter.restore();
}

} // namespace platform
