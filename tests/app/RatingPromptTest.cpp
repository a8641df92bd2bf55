// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShellFixture.h"
#include "support/UrlRecorder.h"

#include "common/AppSettings.h"
#include "platform/Settings.h"
#include "support/AlertScript.h"

using platform::Clock;
using platform::Settings;

namespace {

class RatingPromptTest : public shelltest::ShellFixture
{
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        Clock::setManual(true);
    }

    static constexpr int Later = 1001;
};

} // namespace

TEST_F(RatingPromptTest, ComesFiveMinutesAfterStartUpAndRemindLaterStoresNothing)
{
    delegate->applicationDidFinishLaunching();
    Clock::advance(AppDelegate::RatingPromptDelayMs - 1);

    testsupport::AlertScript alerts;
    alerts.answer(Later);
    Clock::advance(1);
    ASSERT_EQ(alerts.shown().size(), 1u);
    EXPECT_EQ(alerts.shown()[0].message, QStringLiteral("Enjoying Calvorn"));
    EXPECT_EQ(alerts.shown()[0].buttons,
        (QStringList { QStringLiteral("Rate Calvorn"), QStringLiteral("Remind Me Later") }));
    EXPECT_FALSE(Settings::contains(SettingsKey::isAppstoreRated));

    Clock::advance(AppDelegate::RatingPromptDelayMs * 2);
    EXPECT_EQ(alerts.shown().size(), 1u) << "once per start";
}

TEST_F(RatingPromptTest, RatingOpensTheStorePageAndIsRemembered)
{
    SoftwareCentre centre;
    UrlRecorder store;
    delegate->applicationDidFinishLaunching();
    testsupport::AlertScript alerts;
    alerts.answer(platform::Alert::FirstButton);
    Clock::advance(AppDelegate::RatingPromptDelayMs);

    ASSERT_EQ(store.urls.size(), 1);
    // The id keeps its case: it is no host name.
    EXPECT_EQ(store.urls[0].toString(), QStringLiteral("appstream:" CALVORN_APP_ID));
    EXPECT_TRUE(isAppstoreRated());
}

TEST_F(RatingPromptTest, WithoutASoftwareCentreTheAnswerStillEndsTheQuestionAtStartUp)
{
    // Nothing on this desktop handles store links, though the desktop's
    // opener would start.
    UrlRecorder opener;
    {
        testsupport::AlertScript alerts;
        alerts.answer(platform::Alert::FirstButton).answer(platform::Alert::FirstButton);
        delegate->applicationDidFinishLaunching();
        Clock::advance(AppDelegate::RatingPromptDelayMs);
        ASSERT_EQ(alerts.shown().size(), 2u);
        EXPECT_EQ(alerts.shown()[1].message, QStringLiteral("No software centre could open Calvorn's page"));
    }
    EXPECT_TRUE(opener.urls.isEmpty());
    EXPECT_TRUE(isAppstoreRated());

    // The next start asks nothing: the test program fails on any alert
    // nobody scripted.
    delegate = std::make_unique<AppDelegate>(HelperHandshake(helper));
    delegate->applicationDidFinishLaunching();
    Clock::advance(AppDelegate::RatingPromptDelayMs);
}

TEST_F(RatingPromptTest, AfterRatingOnlyTheMenuAsksAgain)
{
    Settings::setBool(SettingsKey::isAppstoreRated, true);
    delegate->applicationDidFinishLaunching();
    // The test program fails on any alert nobody scripted.
    Clock::advance(AppDelegate::RatingPromptDelayMs);

    testsupport::AlertScript alerts;
    alerts.answer(Later);
    delegate->giveRatingOnAppstore();
    EXPECT_EQ(alerts.shown().size(), 1u);
}
