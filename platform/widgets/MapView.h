// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCache>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QSet>
#include <QString>
#include <QUrl>
#include <QWidget>

#include <array>

class QNetworkAccessManager;
class QNetworkReply;

namespace platform {

class Animation;

// A slippy map: Web Mercator tiles (256 pixels, XYZ numbering) fetched from
// a URL template per map type held in the settings ("{z}", "{x}" and "{y}"
// stand for the tile), cached on disk in Calvorn's cache folder and sent
// with an identifying User-Agent. The attribution of the shown tiles is
// always drawn. Where a tile is missing (still loading, failed, offline) a
// coordinate grid shows through.
//
// The view holds one pin. While the pin is draggable the user drags it with
// the mouse; the pin follows the pointer and the new position is committed
// only on release (pinDropped). Dragging elsewhere pans the map; the wheel
// and the + and - keys zoom.
class MapView : public QWidget
{
    Q_OBJECT
public:
    enum class MapType { Standard = 0, Satellite = 1, Hybrid = 2 };

    struct Coordinate
    {
        double latitude = 0;
        double longitude = 0;
    };

    struct Tile
    {
        int z = 0;
        int x = 0;
        int y = 0;
        bool operator==(const Tile &) const = default;
    };

    static constexpr int TileSize = 256;
    static constexpr int MinimumZoom = 0;
    static constexpr int MaximumZoom = 19;
    // Tiles fetched at once; public tile servers ask for few connections.
    static constexpr int MaximumDownloads = 2;
    static constexpr int AnimationMs = 300;
    // Mercator stops short of the poles.
    static constexpr double MaximumLatitude = 85.0511287798;

    // Settings: the tile URL template and the attribution of each type.
    static QString tileTemplateKey(MapType type);
    static QString attributionKey(MapType type);
    static const QString DefaultTileTemplate;
    static const QString DefaultAttribution;
    // The usable template of a type: the stored one when it is an http(s)
    // URL naming {z}, {x} and {y}; the default for the standard map; else
    // empty (the type is not available).
    static QString tileTemplate(MapType type);
    static bool isMapTypeAvailable(MapType type);
    static QUrl tileUrl(const QString &tileTemplate, const Tile &tile);

    // The whole zoom level at which span degrees of latitude and longitude
    // around latitude fit into size.
    static int zoomForSpan(double spanDegrees, const QSize &size, double latitude);

    explicit MapView(QWidget *parent = nullptr);
    ~MapView() override;

    // Centres the map on centre showing at least span degrees each way.
    // Animated only for a short move at the same zoom; a long one jumps, so
    // no tiles are fetched along the way.
    void setRegion(const Coordinate &centre, double spanDegrees, bool animated);
    // Where the map is going (the end of a running animation).
    Coordinate centre() const;
    // What is drawn now.
    Coordinate displayedCentre() const;
    int zoomLevel() const { return m_zoom; }
    void setZoomLevel(int zoom);
    bool isAnimating() const;

    // Shows the type when it is available, else the standard map with a
    // note saying so. Returns whether the type asked for is shown.
    bool setMapType(MapType type);
    MapType mapType() const { return m_requestedType; }
    MapType shownMapType() const;
    QString attribution() const;
    // The note shown while the type asked for is not available; empty else.
    QString note() const;

    void setPinCoordinate(const Coordinate &coordinate);
    Coordinate pinCoordinate() const { return m_pin; }
    void setPinDraggable(bool draggable);
    bool isPinDraggable() const { return m_pinDraggable; }
    // A hidden pin is neither drawn nor dragged.
    void setPinVisible(bool visible);
    bool isPinVisible() const { return m_pinVisible; }
    // Where the pin's tip stands, and the area that picks it up.
    QPointF pinPoint() const;
    QRect pinRect() const;

    // Between the view's points and coordinates at the displayed centre.
    QPointF pointForCoordinate(const Coordinate &coordinate) const;
    Coordinate coordinateForPoint(const QPointF &point) const;

    // The tiles covering the view at the target centre, nearest first; they
    // are fetched while the view is visible.
    QList<Tile> visibleTiles() const;
    QUrl tileUrl(const Tile &tile) const;
    bool hasTile(const Tile &tile) const;
    int loadingTileCount() const { return int(m_loading.size() + m_queue.size()); }

signals:
    // The user let go of the pin there.
    void pinDropped(double latitude, double longitude);
    // A tile arrived (ok) or failed.
    void tileFinished(const QUrl &url, bool ok);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum class Drag { None, Pin, Pan };
    // A tile and where its top left corner stands in the view.
    struct TileSpot
    {
        Tile tile;
        QPointF topLeft;
    };

    double worldSize() const;
    QPointF worldPointOf(const QPointF &mercator) const;
    QList<TileSpot> tileSpots(const QPointF &mercatorCentre) const;
    QList<Tile> tilesAround(const QPointF &mercatorCentre) const;
    void moveTo(const QPointF &mercator, int zoom);
    void zoomAround(int steps, const QPointF &point);
    void requestTiles();
    void startDownloads();
    void tileArrived(QNetworkReply *reply);
    void commitPinDrag();
    void drawGrid(QPainter &painter) const;
    void drawTiles(QPainter &painter) const;
    void drawPin(QPainter &painter) const;
    void drawNote(QPainter &painter) const;
    void drawAttribution(QPainter &painter) const;
    void loadSettings();

    QNetworkAccessManager *m_network;
    Animation *m_animation;
    // Centres in normalised Mercator units: x east from 180° W, y south
    // from the top of the map, both 0 to 1.
    QPointF m_target { 0.5, 0.5 };
    QPointF m_shown { 0.5, 0.5 };
    int m_zoom = 2;
    // The span of the last setRegion, kept so a resize fits it again until
    // the user zooms.
    double m_span = 0;
    MapType m_requestedType = MapType::Standard;
    // Read from the settings at start and whenever they change.
    std::array<QString, 3> m_templates;
    std::array<QString, 3> m_attributions;
    Coordinate m_pin;
    bool m_pinDraggable = false;
    bool m_pinVisible = true;

    Drag m_drag = Drag::None;
    QPointF m_dragStart;
    QPointF m_dragOffset;
    QPointF m_panFrom;
    int m_wheelRemainder = 0;

    QCache<QUrl, QImage> m_tiles;
    QSet<QUrl> m_failed;
    QHash<QNetworkReply *, QUrl> m_loading;
    QList<QUrl> m_queue;
};

} // namespace platform
