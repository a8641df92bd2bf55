// SPDX-License-Identifier: GPL-3.0-or-later
#include "FormStandIn.h"

#include "common/Localization.h"
#include "editor/EditLocationViewController.h"
#include "editor/SegmentedControl.h"
#include "engine/FileInfo.h"
#include "engine/Metadata.h"
#include "platform/Clock.h"
#include "platform/Geocoder.h"
#include "platform/Settings.h"
#include "platform/widgets/MapView.h"
#include "support/StubHttpServer.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using platform::Clock;
using platform::Geocoder;
using platform::MapView;
using testsupport::StubHttpServer;
using testsupport::waitUntil;

namespace {

QByteArray reverseAnswer(const QByteArray &name, const QByteArray &postcode)
{
    return R"({"lat": "48.8582599", "lon": "2.2945006", "name": ")" + name + R"(",
      "address": {"house_number": "5", "road": "Avenue Anatole France", "city": "Paris",
                  "state": "Ile-de-France", "country": "France", "postcode": ")"
        + postcode + R"("}})";
}

const QByteArray bigBen = R"([{"lat": "51.5007325", "lon": "-0.1246254", "name": "Big Ben"}])";

class EditLocationViewControllerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { loadLocalizationDictionary(); }
    void SetUp() override
    {
        testsupport::blockOutsideNetwork();
        Clock::setManual(true);
        Geocoder::resetRateLimit();
        platform::Settings::setText(Geocoder::BaseAddressKey, server.baseUrl());
        platform::Settings::setText(MapView::tileTemplateKey(MapView::MapType::Standard),
            server.baseUrl() + QStringLiteral("/tiles/{z}/{x}/{y}.png"));
        server.setHandler(
            [this](const StubHttpServer::Request &request) -> std::optional<StubHttpServer::Response> {
                if (request.path() == QLatin1String("/reverse"))
                    return StubHttpServer::Response { 200, "application/json",
                        reverseAnswer("Tour Eiffel", "75007") };
                if (request.path() == QLatin1String("/search"))
                    return StubHttpServer::Response { 200, "application/json", bigBen };
                return StubHttpServer::Response { 200, "image/png", testsupport::pngOfColour(Qt::lightGray) };
            });
        editor = std::make_unique<EditLocationViewController>();
    }
    void TearDown() override
    {
        editor.reset();
        platform::Settings::remove(Geocoder::BaseAddressKey);
        platform::Settings::remove(MapView::tileTemplateKey(MapView::MapType::Standard));
        Clock::setManual(false);
    }

    // What the form's location button does.
    void open(const std::shared_ptr<FileInfo> &record = std::make_shared<FileInfo>())
    {
        editor->txtFieldLatitudeTarget = form.txtFieldGPSLatitude;
        editor->popUpLatitudeRefTarget = form.popUpGPSLatitudeRef;
        editor->txtFieldLongitudeTarget = form.txtFieldGPSLongitude;
        editor->popUpLongitudeRefTarget = form.popUpGPSLongitudeRef;
        editor->metadataEditorVC = &form;
        editor->configure(record);
    }
    // Lets every lookup that is due leave and be answered.
    void settleLookups()
    {
        Clock::advance(Geocoder::MinimumIntervalMs);
        ASSERT_TRUE(waitUntil([&] { return editor->geocoder().requestsInFlight() == 0; }));
    }
    QStringList lookups(const QString &path) const
    {
        QStringList found;
        for (const auto &request : server.requests())
            if (request.path() == path)
                found << request.query(
                    path == QLatin1String("/search") ? QStringLiteral("q") : QStringLiteral("lat"));
        return found;
    }
    static void type(QLineEdit *field, const QString &text)
    {
        field->selectAll();
        QTest::keyClicks(field, text);
    }

    StubHttpServer server;
    FormStandIn form;
    std::unique_ptr<EditLocationViewController> editor;
};

TEST_F(EditLocationViewControllerTest, EmptyFormFieldsStartAtZeroAndStayEmpty)
{
    form.popUpGPSLatitudeRef->setCurrentIndex(2);
    open();
    EXPECT_DOUBLE_EQ(editor->mapView->centre().latitude, 0);
    EXPECT_DOUBLE_EQ(editor->mapView->pinCoordinate().longitude, 0);
    EXPECT_EQ(editor->txtFieldLatitude->text(), QStringLiteral("0.0"));
    EXPECT_TRUE(form.txtFieldGPSLatitude->text().isEmpty());
    EXPECT_TRUE(form.txtFieldGPSLongitude->text().isEmpty());
    EXPECT_EQ(form.popUpGPSLatitudeRef->currentIndex(), 2) << "nothing is written for a position at 0";
    const QList<QPointer<QWidget>> order = { form.txtFieldGPSLatitude, form.popUpGPSLatitudeRef,
        form.txtFieldGPSLongitude, form.popUpGPSLongitudeRef };
    EXPECT_EQ(form.calls, order) << "the form still re-evaluates all four";
}

TEST_F(EditLocationViewControllerTest, AFieldThatHoldsANumberIsWrittenBackWithItsReference)
{
    form.txtFieldGPSLatitude->setText(QStringLiteral("48.85"));
    open();
    EXPECT_DOUBLE_EQ(editor->latitude, 48.85);
    EXPECT_DOUBLE_EQ(editor->longitude, 0);
    EXPECT_EQ(form.txtFieldGPSLatitude->text(), QStringLiteral("48.85"));
    EXPECT_EQ(form.popUpGPSLatitudeRef->currentText(), QStringLiteral("North"));
    EXPECT_TRUE(form.txtFieldGPSLongitude->text().isEmpty());
    EXPECT_EQ(form.popUpGPSLongitudeRef->currentText(), QStringLiteral("Leave Blank"));
}

TEST_F(EditLocationViewControllerTest, TheFormsFieldsComeBeforeTheFilesPosition)
{
    auto record = std::make_shared<FileInfo>();
    record->metadata->setGPSLatitude(1.5);
    record->metadata->setGPSLongitude(2.5);
    form.txtFieldGPSLatitude->setText(QStringLiteral("10"));
    form.txtFieldGPSLongitude->setText(QStringLiteral("-20.25"));
    open(record);
    EXPECT_DOUBLE_EQ(editor->latitude, 10);
    EXPECT_DOUBLE_EQ(editor->longitude, -20.25);
    EXPECT_EQ(editor->fileInfo, record);

    // The user changes the form, then opens the editor again.
    form.txtFieldGPSLatitude->setText(QStringLiteral("-3"));
    open(record);
    EXPECT_DOUBLE_EQ(editor->latitude, -3);
    EXPECT_EQ(form.popUpGPSLatitudeRef->currentText(), QStringLiteral("South"));

    // Without target fields the file's own position counts.
    editor->txtFieldLatitudeTarget = nullptr;
    editor->txtFieldLongitudeTarget = nullptr;
    editor->configure(record);
    EXPECT_DOUBLE_EQ(editor->latitude, 1.5);
    EXPECT_DOUBLE_EQ(editor->longitude, 2.5);
    EXPECT_EQ(form.popUpGPSLongitudeRef->currentText(), QStringLiteral("East"));
}

TEST_F(EditLocationViewControllerTest, DroppingThePinSouthWestWritesNegativeNumbersAndTheAddress)
{
    form.txtFieldGPSLatitude->setText(QStringLiteral("0.001"));
    form.txtFieldGPSLongitude->setText(QStringLiteral("0.001"));
    editor->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
    open();
    settleLookups();
    form.calls.clear();

    MapView *map = editor->mapView;
    const QPoint grip = map->pinRect().center();
    QTest::mousePress(map, Qt::LeftButton, {}, grip);
    QTest::mouseMove(map, grip + QPoint(-150, 120));
    QTest::mouseRelease(map, Qt::LeftButton, {}, grip + QPoint(-150, 120));

    EXPECT_LT(editor->latitude, 0);
    EXPECT_LT(editor->longitude, 0);
    EXPECT_TRUE(form.txtFieldGPSLatitude->text().startsWith(QLatin1Char('-')));
    EXPECT_DOUBLE_EQ(form.txtFieldGPSLongitude->text().toDouble(), editor->longitude);
    EXPECT_EQ(form.popUpGPSLatitudeRef->currentText(), QStringLiteral("South"));
    EXPECT_EQ(form.popUpGPSLongitudeRef->currentText(), QStringLiteral("West"));
    EXPECT_EQ(form.calls.size(), 4);
    EXPECT_NEAR(map->centre().latitude, editor->latitude, 1e-9) << "the map centres on the pin";

    settleLookups();
    EXPECT_NEAR(lookups(QStringLiteral("/reverse")).last().toDouble(), editor->latitude, 1e-7);
    EXPECT_EQ(editor->txtFieldName->text(),
        QStringLiteral("Tour Eiffel, 5, Avenue Anatole France, Paris, Ile-de-France, France, 75007"));
}

TEST_F(EditLocationViewControllerTest, APositionExactlyOnTheMeridianClearsTheReference)
{
    form.txtFieldGPSLongitude->setText(QStringLiteral("5"));
    form.popUpGPSLongitudeRef->setCurrentText(QStringLiteral("East"));
    open();
    editor->showLocation(12, 0, false);
    EXPECT_EQ(form.txtFieldGPSLongitude->text(), QStringLiteral("0.0"));
    EXPECT_EQ(form.popUpGPSLongitudeRef->currentText(), QStringLiteral("Leave Blank"));
}

TEST_F(EditLocationViewControllerTest, TypedCoordinatesMoveThePinAndBadOnesAreUndone)
{
    open();
    type(editor->txtFieldLatitude, QStringLiteral("48.85"));
    EXPECT_EQ(editor->txtFieldLatitude->text(), QStringLiteral("48.85"))
        << "typing is not rewritten under the caret";
    EXPECT_DOUBLE_EQ(editor->latitude, 48.85);
    EXPECT_DOUBLE_EQ(editor->mapView->pinCoordinate().latitude, 48.85);
    EXPECT_EQ(form.txtFieldGPSLatitude->text(), QStringLiteral("48.85"));

    type(editor->txtFieldLongitude, QStringLiteral("-"));
    EXPECT_EQ(editor->txtFieldLongitude->text(), QStringLiteral("-")) << "a sign waits for its digits";
    QTest::keyClicks(editor->txtFieldLongitude, QStringLiteral("2.35"));
    EXPECT_DOUBLE_EQ(editor->longitude, -2.35);
    EXPECT_EQ(form.popUpGPSLongitudeRef->currentText(), QStringLiteral("West"));

    type(editor->txtFieldLatitude, QStringLiteral("north"));
    EXPECT_EQ(editor->txtFieldLatitude->text(), QStringLiteral("48.85"));
    EXPECT_DOUBLE_EQ(editor->latitude, 48.85);
    type(editor->txtFieldLatitude, QStringLiteral(" "));
    EXPECT_EQ(editor->txtFieldLatitude->text(), QStringLiteral("48.85"));

    // Off the globe: refused like any text that is not a position.
    type(editor->txtFieldLongitude, QStringLiteral("1805"));
    EXPECT_DOUBLE_EQ(editor->longitude, 180);
    EXPECT_EQ(editor->txtFieldLongitude->text(), QStringLiteral("180.0"));
    type(editor->txtFieldLatitude, QStringLiteral("91"));
    EXPECT_DOUBLE_EQ(editor->latitude, 9);

    // A sign left alone goes back to the position when the field is left.
    type(editor->txtFieldLatitude, QStringLiteral("-"));
    emit editor->txtFieldLatitude->editingFinished();
    EXPECT_EQ(editor->txtFieldLatitude->text(), QStringLiteral("9.0"));
}

TEST_F(EditLocationViewControllerTest, ATypedAddressMovesThePinAndStays)
{
    open();
    settleLookups();
    const int reverseBefore = int(lookups(QStringLiteral("/reverse")).size());
    type(editor->txtFieldName, QStringLiteral("Big Ben, London"));
    settleLookups();

    EXPECT_EQ(lookups(QStringLiteral("/search")).last(), QStringLiteral("Big Ben, London"));
    EXPECT_LE(lookups(QStringLiteral("/search")).size(), 2) << "keystrokes within a second share one request";
    EXPECT_DOUBLE_EQ(editor->latitude, 51.5007325);
    EXPECT_DOUBLE_EQ(editor->longitude, -0.1246254);
    EXPECT_DOUBLE_EQ(editor->mapView->pinCoordinate().latitude, 51.5007325);
    EXPECT_EQ(editor->txtFieldName->text(), QStringLiteral("Big Ben, London"));
    EXPECT_EQ(form.txtFieldGPSLongitude->text(), QStringLiteral("-0.1246254"));
    EXPECT_EQ(form.popUpGPSLongitudeRef->currentText(), QStringLiteral("West"));

    Clock::advance(10 * Geocoder::MinimumIntervalMs);
    EXPECT_EQ(lookups(QStringLiteral("/reverse")).size(), reverseBefore)
        << "a typed address is not looked up back";
}

TEST_F(EditLocationViewControllerTest, AnAddressWithoutPostalCodeEndsInASeparator)
{
    server.setHandler([](const StubHttpServer::Request &) -> std::optional<StubHttpServer::Response> {
        return StubHttpServer::Response { 200, "application/json", reverseAnswer("", "") };
    });
    open();
    settleLookups();
    EXPECT_EQ(editor->txtFieldName->text(),
        QStringLiteral("5, Avenue Anatole France, Paris, Ile-de-France, France, "));

    // A failed lookup empties the address.
    server.setHandler([](const StubHttpServer::Request &) -> std::optional<StubHttpServer::Response> {
        return StubHttpServer::Response { 503, "text/plain", "busy" };
    });
    editor->showLocation(3, 4, true);
    settleLookups();
    EXPECT_TRUE(editor->txtFieldName->text().isEmpty());
}

TEST_F(EditLocationViewControllerTest, OnlyTheLatestPositionsAddressIsShown)
{
    // Address lookups wait for the test to answer them.
    server.setHandler([](const StubHttpServer::Request &request) -> std::optional<StubHttpServer::Response> {
        if (request.path().startsWith(QLatin1String("/tiles/")))
            return StubHttpServer::Response { 404, "text/plain", {} };
        return std::nullopt;
    });
    open();
    Clock::advance(Geocoder::MinimumIntervalMs);
    editor->showLocation(1, 1, true);
    ASSERT_TRUE(waitUntil([&] { return server.heldCount() == 2; }));

    // The older position's address arrives first and is not shown.
    server.respond(0, { 200, "application/json", reverseAnswer("Older", "0") });
    ASSERT_TRUE(waitUntil([&] { return editor->geocoder().requestsInFlight() == 1; }));
    EXPECT_TRUE(editor->txtFieldName->text().isEmpty());
    server.respond(0, { 200, "application/json", reverseAnswer("Newer", "1") });
    ASSERT_TRUE(waitUntil([&] { return editor->geocoder().requestsInFlight() == 0; }));
    EXPECT_TRUE(editor->txtFieldName->text().startsWith(QLatin1String("Newer, ")));

    // Typing an address drops the lookup of the last position.
    editor->showLocation(2, 2, true);
    Clock::advance(Geocoder::MinimumIntervalMs);
    ASSERT_TRUE(waitUntil([&] { return server.heldCount() == 1; }));
    type(editor->txtFieldName, QStringLiteral("Oslo"));
    server.respond(0, { 200, "application/json", reverseAnswer("Stale", "2") });
    ASSERT_TRUE(waitUntil([&] { return editor->geocoder().requestsInFlight() == 0; }));
    EXPECT_EQ(editor->txtFieldName->text(), QStringLiteral("Oslo"));
}

TEST_F(EditLocationViewControllerTest, TheSegmentsChooseTheMapType)
{
    EXPECT_EQ(editor->sengmentLocationView->selectedSegment(), 0);
    editor->sengmentLocationView->segment(2)->click();
    EXPECT_EQ(editor->mapView->mapType(), MapView::MapType::Hybrid);
    editor->sengmentLocationView->segment(1)->click();
    EXPECT_EQ(editor->mapView->mapType(), MapView::MapType::Satellite);
    editor->setMapType(7);
    EXPECT_EQ(editor->mapView->mapType(), MapView::MapType::Satellite);

    EXPECT_FALSE(editor->sengmentLocationView->label(2).isEmpty());
    EXPECT_TRUE(editor->lblLocationView->text().endsWith(QLatin1Char(':')));
    EXPECT_FALSE(editor->lblDragTheRedPin->text().isEmpty());
}

} // namespace
