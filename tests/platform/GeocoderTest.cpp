// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Geocoder.h"
#include "platform/Clock.h"
#include "platform/Settings.h"
#include "support/StubHttpServer.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using platform::Clock;
using platform::Geocoder;
using platform::Placemark;
using testsupport::StubHttpServer;
using testsupport::waitUntil;

namespace {

const QByteArray reverseAnswer = R"({
  "place_id": 1, "lat": "48.8582599", "lon": "2.2945006", "name": "Tour Eiffel",
  "display_name": "Tour Eiffel, 5, Avenue Anatole France, Paris, France",
  "address": {"tourism": "Tour Eiffel", "house_number": "5", "road": "Avenue Anatole France",
              "quarter": "Gros-Caillou", "city": "Paris", "county": "Paris",
              "state": "Ile-de-France", "postcode": "75007", "country": "France", "country_code": "fr"}
})";

const QByteArray searchAnswer = R"([
  {"lat": "51.5007325", "lon": "-0.1246254", "name": "Big Ben",
   "address": {"road": "Bridge Street", "town": "Westminster", "country": "United Kingdom"}},
  {"lat": 40.0, "lon": 10.0, "name": "", "address": {}}
])";

class GeocoderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testsupport::blockOutsideNetwork();
        Clock::setManual(true);
        Geocoder::resetRateLimit();
        platform::Settings::setText(Geocoder::BaseAddressKey, server.baseUrl());
        server.setHandler(
            [](const StubHttpServer::Request &request) -> std::optional<StubHttpServer::Response> {
                if (request.path().endsWith(QLatin1String("/reverse")))
                    return StubHttpServer::Response { 200, "application/json", reverseAnswer };
                return StubHttpServer::Response { 200, "application/json", searchAnswer };
            });
    }
    void TearDown() override
    {
        platform::Settings::remove(Geocoder::BaseAddressKey);
        Clock::setManual(false);
    }

    // Runs a lookup to its end; the answer, or none when it was dropped.
    static bool settle(Geocoder &geocoder)
    {
        return waitUntil([&] { return geocoder.requestsInFlight() == 0; });
    }

    StubHttpServer server;
};

TEST_F(GeocoderTest, SendsTheTextWholeWithAnIdentifyingUserAgent)
{
    Geocoder geocoder;
    const QString text = QStringLiteral(u"Rue de l'\u00C9glise & Co + 5 % /?#=");
    std::optional<QList<Placemark>> answer;
    geocoder.forward(text, [&](const QList<Placemark> &found) { answer = found; });
    ASSERT_TRUE(waitUntil([&] { return answer.has_value(); }));

    ASSERT_EQ(server.requests().size(), 1);
    const StubHttpServer::Request &request = server.requests().first();
    EXPECT_EQ(request.path(), QStringLiteral("/search"));
    EXPECT_EQ(request.query(QStringLiteral("q")), text);
    EXPECT_EQ(request.query(QStringLiteral("format")), QStringLiteral("jsonv2"));
    EXPECT_EQ(request.query(QStringLiteral("addressdetails")), QStringLiteral("1"));
    EXPECT_EQ(request.headers.value("user-agent"), Geocoder::userAgent());
    EXPECT_TRUE(Geocoder::userAgent().startsWith("Calvorn/"));
    EXPECT_TRUE(Geocoder::userAgent().contains(CALVORN_APP_ID));
}

TEST_F(GeocoderTest, ReverseAsksForThePositionUnderTheConfiguredPath)
{
    platform::Settings::setText(Geocoder::BaseAddressKey, server.baseUrl() + QStringLiteral("/nominatim/"));
    Geocoder geocoder;
    bool answered = false;
    geocoder.reverse(-33.8567844, 151.213108, [&](const QList<Placemark> &) { answered = true; });
    ASSERT_TRUE(waitUntil([&] { return answered; }));
    const StubHttpServer::Request &request = server.requests().first();
    EXPECT_EQ(request.path(), QStringLiteral("/nominatim/reverse"));
    EXPECT_DOUBLE_EQ(request.query(QStringLiteral("lat")).toDouble(), -33.8567844);
    EXPECT_DOUBLE_EQ(request.query(QStringLiteral("lon")).toDouble(), 151.213108);
}

TEST_F(GeocoderTest, MapsTheServiceAddressOntoPlacemarkFields)
{
    const QList<Placemark> reverse = Geocoder::placemarksFromJson(reverseAnswer);
    ASSERT_EQ(reverse.size(), 1);
    const Placemark &p = reverse.first();
    EXPECT_DOUBLE_EQ(*p.latitude, 48.8582599);
    EXPECT_DOUBLE_EQ(*p.longitude, 2.2945006);
    EXPECT_EQ(p.name, QStringLiteral("Tour Eiffel"));
    EXPECT_EQ(p.subThoroughfare, QStringLiteral("5"));
    EXPECT_EQ(p.thoroughfare, QStringLiteral("Avenue Anatole France"));
    EXPECT_EQ(p.subLocality, QStringLiteral("Gros-Caillou"));
    EXPECT_EQ(p.locality, QStringLiteral("Paris"));
    EXPECT_EQ(p.subAdministrativeArea, QStringLiteral("Paris"));
    EXPECT_EQ(p.administrativeArea, QStringLiteral("Ile-de-France"));
    EXPECT_EQ(p.country, QStringLiteral("France"));
    EXPECT_EQ(p.postalCode, QStringLiteral("75007"));
    EXPECT_EQ(p.isoCountryCode, QStringLiteral("FR"));

    const QList<Placemark> search = Geocoder::placemarksFromJson(searchAnswer);
    ASSERT_EQ(search.size(), 2);
    EXPECT_EQ(search[0].locality, QStringLiteral("Westminster"));
    EXPECT_DOUBLE_EQ(*search[0].longitude, -0.1246254);
    EXPECT_DOUBLE_EQ(*search[1].latitude, 40.0);
    EXPECT_TRUE(search[1].name.isEmpty());

    EXPECT_TRUE(Geocoder::placemarksFromJson(R"({"error": "Unable to geocode"})").isEmpty());
    EXPECT_TRUE(Geocoder::placemarksFromJson("<html>busy</html>").isEmpty());
    EXPECT_FALSE(Geocoder::placemarksFromJson(R"([{"lat": "91", "lon": "0"}])").first().hasLocation());
}

TEST_F(GeocoderTest, SendsAtMostOneRequestASecondAcrossGeocoders)
{
    Geocoder first;
    Geocoder second;
    QSignalSpy sentFirst(&first, &Geocoder::requestStarted);
    QSignalSpy sentSecond(&second, &Geocoder::requestStarted);
    int answers = 0;
    const auto count = [&](const QList<Placemark> &) { ++answers; };

    first.reverse(1, 2, count);
    second.forward(QStringLiteral("Paris"), count);
    first.forward(QStringLiteral("Rome"), count);
    EXPECT_EQ(sentFirst.size(), 1);
    EXPECT_EQ(sentSecond.size(), 0);

    Clock::advance(999);
    EXPECT_EQ(sentSecond.size(), 0);
    Clock::advance(1);
    EXPECT_EQ(sentSecond.size(), 1);
    EXPECT_EQ(sentFirst.size(), 1);
    Clock::advance(999);
    EXPECT_EQ(sentFirst.size(), 1);
    Clock::advance(1);
    EXPECT_EQ(sentFirst.size(), 2);

    ASSERT_TRUE(waitUntil([&] { return answers == 3; }));
    EXPECT_EQ(server.requests().size(), 3);
}

TEST_F(GeocoderTest, ANewerLookupReplacesOneStillWaiting)
{
    Geocoder geocoder;
    QStringList answeredFor;
    const auto lookUp = [&](const QString &text) {
        geocoder.forward(text, [&answeredFor, text](const QList<Placemark> &) { answeredFor << text; });
    };
    lookUp(QStringLiteral("P"));
    ASSERT_TRUE(settle(geocoder));
    lookUp(QStringLiteral("Pa"));
    lookUp(QStringLiteral("Par"));
    lookUp(QStringLiteral("Pari"));
    Clock::advance(1000);
    ASSERT_TRUE(settle(geocoder));
    Clock::advance(5000);
    ASSERT_TRUE(settle(geocoder));

    ASSERT_EQ(server.requests().size(), 2);
    EXPECT_EQ(server.requests()[1].query(QStringLiteral("q")), QStringLiteral("Pari"));
    EXPECT_EQ(answeredFor, (QStringList { QStringLiteral("P"), QStringLiteral("Pari") }));
}

TEST_F(GeocoderTest, OnlyTheLatestRequestIsAnsweredWhateverTheOrderOfArrival)
{
    server.setHandler([](const StubHttpServer::Request &) { return std::nullopt; });
    const auto answerNamed = [](const char *name) {
        return StubHttpServer::Response { 200, "application/json",
            QByteArray(R"({"lat": "1", "lon": "2", "name": ")") + name + "\"}" };
    };
    Geocoder geocoder;
    QStringList answered;
    for (int i = 0; i < 3; ++i) {
        geocoder.reverse(i, i, [&](const QList<Placemark> &found) { answered << found.value(0).name; });
        Clock::advance(Geocoder::MinimumIntervalMs);
    }
    ASSERT_TRUE(waitUntil([&] { return server.heldCount() == 3; }));

    // The oldest arrives first, the newest next, the middle one last.
    server.respond(0, answerNamed("first"));
    ASSERT_TRUE(waitUntil([&] { return geocoder.requestsInFlight() == 2; }));
    EXPECT_TRUE(answered.isEmpty());
    server.respond(1, answerNamed("third"));
    ASSERT_TRUE(waitUntil([&] { return geocoder.requestsInFlight() == 1; }));
    server.respond(0, answerNamed("second"));
    ASSERT_TRUE(settle(geocoder));
    EXPECT_EQ(answered, QStringList { QStringLiteral("third") });
}

TEST_F(GeocoderTest, FailuresAnswerWithNothing)
{
    Geocoder geocoder;
    const auto lookUpWith = [&](const StubHttpServer::Response &response) {
        server.setHandler([response](const StubHttpServer::Request &) { return response; });
        std::optional<QList<Placemark>> answer;
        geocoder.reverse(1, 1, [&](const QList<Placemark> &found) { answer = found; });
        Clock::advance(1000);
        EXPECT_TRUE(waitUntil([&] { return answer.has_value(); }));
        return answer.value_or(QList<Placemark> { Placemark {} });
    };
    EXPECT_TRUE(lookUpWith({ 500, "text/plain", "overloaded" }).isEmpty());
    EXPECT_TRUE(lookUpWith({ 200, "application/json", "{not json" }).isEmpty());
    EXPECT_TRUE(lookUpWith({ 200, "application/json", R"({"error":"Unable to geocode"})" }).isEmpty());
    EXPECT_EQ(lookUpWith({ 200, "application/json", reverseAnswer }).size(), 1);

    // Nobody listening at the address.
    StubHttpServer *gone = new StubHttpServer;
    platform::Settings::setText(Geocoder::BaseAddressKey, gone->baseUrl());
    delete gone;
    std::optional<QList<Placemark>> answer;
    geocoder.forward(QStringLiteral("Oslo"), [&](const QList<Placemark> &found) { answer = found; });
    Clock::advance(1000);
    ASSERT_TRUE(waitUntil([&] { return answer.has_value(); }));
    EXPECT_TRUE(answer->isEmpty());
}

TEST_F(GeocoderTest, ASilentServiceTimesOutOnTheClock)
{
    server.setHandler([](const StubHttpServer::Request &) { return std::nullopt; });
    Geocoder geocoder;
    std::optional<QList<Placemark>> answer;
    geocoder.forward(QStringLiteral("Lima"), [&](const QList<Placemark> &found) { answer = found; });
    ASSERT_TRUE(waitUntil([&] { return server.heldCount() == 1; }));
    Clock::advance(Geocoder::TimeoutMs - 1);
    EXPECT_FALSE(answer.has_value());
    Clock::advance(1);
    ASSERT_TRUE(waitUntil([&] { return answer.has_value(); }));
    EXPECT_TRUE(answer->isEmpty());
}

TEST_F(GeocoderTest, NothingIsAskedForABlankTextOrAPositionOffTheGlobe)
{
    Geocoder geocoder;
    QSignalSpy sent(&geocoder, &Geocoder::requestStarted);
    int emptyAnswers = 0;
    const auto count = [&](const QList<Placemark> &found) { emptyAnswers += found.isEmpty(); };
    geocoder.forward(QStringLiteral("  "), count);
    geocoder.reverse(91, 0, count);
    geocoder.reverse(0, std::numeric_limits<double>::quiet_NaN(), count);
    ASSERT_TRUE(waitUntil([&] { return emptyAnswers == 3; }));
    EXPECT_EQ(sent.size(), 0);
}

TEST_F(GeocoderTest, ACancelledLookupNeverAnswers)
{
    server.setHandler([](const StubHttpServer::Request &) { return std::nullopt; });
    Geocoder geocoder;
    bool answered = false;
    geocoder.reverse(5, 5, [&](const QList<Placemark> &) { answered = true; });
    ASSERT_TRUE(waitUntil([&] { return server.heldCount() == 1; }));
    geocoder.cancelReverse();
    server.respond(0, { 200, "application/json", reverseAnswer });
    ASSERT_TRUE(settle(geocoder));
    EXPECT_FALSE(answered);
}

} // namespace
