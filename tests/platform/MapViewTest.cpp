// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/MapView.h"
#include "platform/Clock.h"
#include "platform/Geocoder.h"
#include "platform/Settings.h"
#include "support/StubHttpServer.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using platform::MapView;
using platform::Settings;
using testsupport::StubHttpServer;
using testsupport::waitUntil;

namespace {

// The tile of a coordinate, from the usual slippy-map formulas.
MapView::Tile tileOf(double latitude, double longitude, int zoom)
{
    const double n = std::pow(2.0, zoom);
    const double phi = latitude * M_PI / 180.0;
    return { zoom, int(std::floor((longitude + 180.0) / 360.0 * n)),
        int(std::floor((1.0 - std::log(std::tan(phi) + 1.0 / std::cos(phi)) / M_PI) / 2.0 * n)) };
}

// A colour per tile, so a pixel tells which tile is drawn there.
QColor colourOf(int x, int y)
{
    return QColor((x * 53) % 200 + 40, (y * 97) % 200 + 40, 90);
}

class MapViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testsupport::blockOutsideNetwork();
        Settings::setText(MapView::tileTemplateKey(MapView::MapType::Standard),
            server.baseUrl() + QStringLiteral("/std/{z}/{x}/{y}.png"));
        server.setHandler([this](const StubHttpServer::Request &request)
                              -> std::optional<StubHttpServer::Response> {
            static const QRegularExpression tilePath(QStringLiteral("^/\\w+/(\\d+)/(\\d+)/(\\d+)\\.png$"));
            const auto match = tilePath.match(request.path());
            if (!match.hasMatch() || failing.contains(request.path()))
                return StubHttpServer::Response { 404, "text/plain", "no tile" };
            return StubHttpServer::Response { 200, "image/png",
                testsupport::pngOfColour(colourOf(match.captured(2).toInt(), match.captured(3).toInt())) };
        });
    }
    void TearDown() override
    {
        for (auto type :
            { MapView::MapType::Standard, MapView::MapType::Satellite, MapView::MapType::Hybrid }) {
            Settings::remove(MapView::tileTemplateKey(type));
            Settings::remove(MapView::attributionKey(type));
        }
    }

    void show(MapView &view, const QSize &size = QSize(512, 512))
    {
        view.resize(size);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    bool settle(MapView &view)
    {
        return waitUntil([&] { return view.loadingTileCount() == 0; });
    }

    StubHttpServer server;
    QStringList failing;
};

TEST_F(MapViewTest, ASpanOfOneHundredthOfADegreeIsAStreetLevelZoom)
{
    EXPECT_EQ(MapView::zoomForSpan(0.01, QSize(600, 600), 0), 16);
    // Mercator stretches latitude away from the equator, so less height fits.
    EXPECT_EQ(MapView::zoomForSpan(0.01, QSize(600, 400), 48.85), 15);
    EXPECT_EQ(MapView::zoomForSpan(360, QSize(512, 512), 0), 1);
    EXPECT_EQ(MapView::zoomForSpan(1e-9, QSize(512, 512), 0), MapView::MaximumZoom);
}

TEST_F(MapViewTest, FetchesTheTilesAroundTheCentreWithTheUserAgent)
{
    MapView view;
    show(view);
    view.setRegion({ 48.8584, 2.2945 }, 0.01, false);
    ASSERT_EQ(view.zoomLevel(), 15);
    const QList<MapView::Tile> tiles = view.visibleTiles();
    ASSERT_FALSE(tiles.isEmpty());
    EXPECT_EQ(tiles.first(), tileOf(48.8584, 2.2945, 15));
    EXPECT_LE(tiles.size(), 9);
    EXPECT_EQ(view.tileUrl(tiles.first()).toString(),
        server.baseUrl() + QStringLiteral("/std/15/%1/%2.png").arg(tiles.first().x).arg(tiles.first().y));

    ASSERT_TRUE(settle(view));
    QStringList asked;
    for (const auto &request : server.requests()) {
        asked << request.path();
        EXPECT_EQ(request.headers.value("user-agent"), platform::Geocoder::userAgent());
    }
    for (const MapView::Tile &tile : tiles)
        EXPECT_TRUE(asked.contains(QStringLiteral("/std/15/%1/%2.png").arg(tile.x).arg(tile.y)));
    EXPECT_EQ(asked.size(), QSet<QString>(asked.begin(), asked.end()).size()) << "no tile is fetched twice";

    // Drawn: the centre pixel comes from the centre tile.
    const QImage shot = view.grab().toImage();
    const MapView::Tile centre = tiles.first();
    EXPECT_EQ(shot.pixelColor(shot.width() / 2, shot.height() / 2).rgb(), colourOf(centre.x, centre.y).rgb());
}

TEST_F(MapViewTest, WrapsTilesAcrossTheDateLine)
{
    MapView view;
    show(view);
    view.setRegion({ 0, 180 }, 360, false);
    ASSERT_EQ(view.zoomLevel(), 1);
    QList<MapView::Tile> tiles = view.visibleTiles();
    std::sort(
        tiles.begin(), tiles.end(), [](auto a, auto b) { return std::pair(a.x, a.y) < std::pair(b.x, b.y); });
    const QList<MapView::Tile> world = { { 1, 0, 0 }, { 1, 0, 1 }, { 1, 1, 0 }, { 1, 1, 1 } };
    EXPECT_EQ(tiles, world);

    // Points near the line stand on the side nearest the centre.
    EXPECT_GT(view.pointForCoordinate({ 0, -179 }).x(), view.width() / 2.0);
    EXPECT_LT(view.pointForCoordinate({ 0, 179 }).x(), view.width() / 2.0);
}

TEST_F(MapViewTest, AFailedTileLeavesTheCoordinateGrid)
{
    MapView view;
    show(view);
    view.setRegion({ 0, 0 }, 360, false);
    ASSERT_EQ(view.zoomLevel(), 1);
    failing << QStringLiteral("/std/1/0/0.png");
    ASSERT_TRUE(settle(view));
    EXPECT_FALSE(view.hasTile({ 1, 0, 0 }));
    EXPECT_TRUE(view.hasTile({ 1, 1, 0 }));

    // The north-west quarter is the grid's light ground, the north-east
    // quarter the tile.
    const QImage shot = view.grab().toImage();
    const QColor ground(0xee, 0xef, 0xe8);
    int groundPixels = 0;
    int total = 0;
    for (int y = 10; y < 250; y += 7)
        for (int x = 10; x < 250; x += 7, ++total)
            groundPixels += shot.pixelColor(x, y).rgb() == ground.rgb();
    EXPECT_GT(groundPixels, total * 3 / 4);
    EXPECT_EQ(shot.pixelColor(384, 128).rgb(), colourOf(1, 0).rgb());
}

TEST_F(MapViewTest, DraggingThePinMovesItAndCommitsOnRelease)
{
    MapView view;
    show(view);
    view.setRegion({ 10, 20 }, 0.01, false);
    view.setPinCoordinate({ 10, 20 });
    view.setPinDraggable(true);
    QSignalSpy dropped(&view, &MapView::pinDropped);

    const QPoint grip = view.pinRect().center();
    const QPointF tip = view.pinPoint();
    const QPoint delta(-120, 70);
    QTest::mousePress(&view, Qt::LeftButton, {}, grip);
    QTest::mouseMove(&view, grip + QPoint(-60, 35));
    QTest::mouseMove(&view, grip + delta);
    EXPECT_EQ(dropped.size(), 0) << "nothing is committed while dragging";
    EXPECT_EQ(view.pinRect().center(), grip + delta) << "the pin follows the pointer";
    EXPECT_DOUBLE_EQ(view.pinCoordinate().latitude, 10);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, grip + delta);

    ASSERT_EQ(dropped.size(), 1);
    const MapView::Coordinate expected = view.coordinateForPoint(tip + delta);
    EXPECT_NEAR(dropped[0][0].toDouble(), expected.latitude, 1e-9);
    EXPECT_NEAR(dropped[0][1].toDouble(), expected.longitude, 1e-9);
    EXPECT_LT(expected.latitude, 10);
    EXPECT_LT(expected.longitude, 20);
    EXPECT_NEAR(view.pinCoordinate().latitude, expected.latitude, 1e-9);
    EXPECT_NEAR(view.centre().latitude, 10, 1e-9) << "the map stays put";
}

TEST_F(MapViewTest, WithoutDraggingTheMapPansInstead)
{
    MapView view;
    show(view);
    view.setRegion({ 10, 20 }, 0.01, false);
    view.setPinCoordinate({ 10, 20 });
    QSignalSpy dropped(&view, &MapView::pinDropped);

    const QPoint grip = view.pinRect().center();
    const MapView::Coordinate underPointer = view.coordinateForPoint(grip);
    QTest::mousePress(&view, Qt::LeftButton, {}, grip);
    QTest::mouseMove(&view, grip + QPoint(100, 0));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, grip + QPoint(100, 0));

    EXPECT_EQ(dropped.size(), 0);
    EXPECT_DOUBLE_EQ(view.pinCoordinate().longitude, 20);
    // The place that was under the pointer moved with it.
    const MapView::Coordinate now = view.coordinateForPoint(grip + QPoint(100, 0));
    EXPECT_NEAR(now.longitude, underPointer.longitude, 1e-9);
    EXPECT_LT(view.centre().longitude, 20);
}

TEST_F(MapViewTest, PointsAndCoordinatesConvertBothWays)
{
    MapView view;
    show(view, QSize(640, 480));
    view.setRegion({ -33.86, 151.21 }, 0.01, false);
    for (const QPointF point :
        { QPointF(0, 0), QPointF(320, 240), QPointF(639, 479), QPointF(17.5, 400.25) }) {
        const QPointF back = view.pointForCoordinate(view.coordinateForPoint(point));
        EXPECT_NEAR(back.x(), point.x(), 1e-6);
        EXPECT_NEAR(back.y(), point.y(), 1e-6);
    }
    const MapView::Coordinate centre = view.coordinateForPoint(QPointF(320, 240));
    EXPECT_NEAR(centre.latitude, -33.86, 1e-9);
    EXPECT_NEAR(centre.longitude, 151.21, 1e-9);
    // North is up, east is right.
    EXPECT_GT(view.coordinateForPoint(QPointF(320, 0)).latitude, -33.86);
    EXPECT_GT(view.coordinateForPoint(QPointF(639, 240)).longitude, 151.21);
}

TEST_F(MapViewTest, ImageryNeedsAConfiguredTemplate)
{
    MapView view;
    show(view, QSize(256, 256));
    view.setRegion({ 0, 0 }, 360, false);
    EXPECT_FALSE(view.setMapType(MapView::MapType::Satellite));
    EXPECT_EQ(view.mapType(), MapView::MapType::Satellite);
    EXPECT_EQ(view.shownMapType(), MapView::MapType::Standard);
    EXPECT_FALSE(view.note().isEmpty());
    EXPECT_TRUE(view.tileUrl({ 0, 0, 0 }).path().startsWith(QLatin1String("/std/")));

    Settings::setText(MapView::tileTemplateKey(MapView::MapType::Satellite),
        server.baseUrl() + QStringLiteral("/sat/{z}/{x}/{y}.png"));
    Settings::setText(
        MapView::attributionKey(MapView::MapType::Satellite), QStringLiteral("Imagery by a stub"));
    ASSERT_TRUE(waitUntil([&] { return view.setMapType(MapView::MapType::Satellite); }));
    EXPECT_TRUE(view.note().isEmpty());
    EXPECT_EQ(view.attribution(), QStringLiteral("Imagery by a stub"));
    ASSERT_TRUE(settle(view));
    EXPECT_EQ(server.requests().last().path(), QStringLiteral("/sat/0/0/0.png"));

    // Hybrid has no template of its own here.
    EXPECT_FALSE(view.setMapType(MapView::MapType::Hybrid));
    EXPECT_EQ(view.shownMapType(), MapView::MapType::Standard);
}

TEST_F(MapViewTest, TheDefaultsAreThePublicMapWithItsAttribution)
{
    Settings::remove(MapView::tileTemplateKey(MapView::MapType::Standard));
    EXPECT_EQ(MapView::tileTemplate(MapView::MapType::Standard),
        QStringLiteral("https://tile.openstreetmap.org/{z}/{x}/{y}.png"));
    EXPECT_FALSE(MapView::isMapTypeAvailable(MapView::MapType::Satellite));
    MapView view;
    EXPECT_EQ(view.attribution(), QStringLiteral(u"\u00A9 OpenStreetMap contributors"));
    EXPECT_EQ(MapView::tileUrl(MapView::tileTemplate(MapView::MapType::Standard), { 3, 4, 5 }).toString(),
        QStringLiteral("https://tile.openstreetmap.org/3/4/5.png"));

    // A template without the tile numbers is not used.
    Settings::setText(
        MapView::tileTemplateKey(MapView::MapType::Satellite), QStringLiteral("https://x.test/a.png"));
    EXPECT_FALSE(MapView::isMapTypeAvailable(MapView::MapType::Satellite));
}

TEST_F(MapViewTest, AShortMoveIsAnimatedALongOneJumps)
{
    MapView view;
    show(view);
    view.setRegion({ 10, 20 }, 0.01, false);
    view.setRegion({ 10.001, 20.001 }, 0.01, true);
    EXPECT_TRUE(view.isAnimating());
    EXPECT_NEAR(view.centre().latitude, 10.001, 1e-9) << "the region is the target at once";
    EXPECT_NEAR(view.displayedCentre().latitude, 10, 1e-9);

    view.setRegion({ -40, -70 }, 0.01, true);
    EXPECT_FALSE(view.isAnimating());
    EXPECT_NEAR(view.displayedCentre().longitude, -70, 1e-9);
}

TEST_F(MapViewTest, AViewClosedWhileTilesLoadLeavesNothingBehind)
{
    server.setHandler([](const StubHttpServer::Request &) { return std::nullopt; });
    {
        MapView view;
        show(view);
        view.setRegion({ 1, 1 }, 0.01, false);
        ASSERT_TRUE(waitUntil([&] { return server.heldCount() == MapView::MaximumDownloads; }));
    }
    for (int i = server.heldCount() - 1; i >= 0; --i)
        server.respond(i, { 200, "image/png", testsupport::pngOfColour(Qt::red) });
    EXPECT_TRUE(waitUntil([&] { return server.heldCount() == 0; }));
}

} // namespace
