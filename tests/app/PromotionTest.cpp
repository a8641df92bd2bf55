// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Promotion.h"

#include "platform/Settings.h"
#include "support/UrlRecorder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString Key = QStringLiteral("currentPromotionID");

// Desktop entries written into the test's XDG data folders, removed after.
class PromotionTest : public testing::Test
{
protected:
    void SetUp() override
    {
        platform::Settings::remove(Key);
        m_folders = { QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation) };
        const QString systemData = qEnvironmentVariable("XDG_DATA_DIRS").split(QLatin1Char(':')).value(0);
        m_folders.append(systemData + QStringLiteral("/applications"));
        for (const QString &folder : m_folders)
            QDir(folder).removeRecursively();
    }
    void TearDown() override
    {
        for (const QString &folder : m_folders)
            QDir(folder).removeRecursively();
        platform::Settings::remove(Key);
    }

    void install(int row, int folder = 0)
    {
        const QString id = Promotion::shared().bundleIDs().at(row - 1);
        QDir().mkpath(m_folders.at(folder));
        QFile entry(m_folders.at(folder) + QLatin1Char('/') + id + QStringLiteral(".desktop"));
        ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
        entry.write("[Desktop Entry]\nType=Application\nName=Test\nExec=true\n");
    }

    static int next()
    {
        const auto app = Promotion::shared().nextPromotionalApp();
        return app ? app->id : 0;
    }

    static qint64 stored() { return platform::Settings::intValue(Key).value_or(-1); }

    QStringList m_folders;
};

} // namespace

TEST_F(PromotionTest, RowsHaveAscendingIdsAndStorePages)
{
    SoftwareCentre centre;
    const QList<PromotionalApp> apps = Promotion::shared().promotionalApps();
    ASSERT_GE(apps.size(), 2);
    for (int i = 0; i < apps.size(); ++i) {
        const PromotionalApp &app = apps[i];
        EXPECT_EQ(app.id, i + 1);
        EXPECT_FALSE(app.title.isEmpty());
        EXPECT_FALSE(app.subTitle.isEmpty());
        EXPECT_TRUE(app.isAppstore);
        ASSERT_TRUE(app.url);
        EXPECT_EQ(app.url->toString(), QStringLiteral("appstream:") + app.bundleID);
        ASSERT_TRUE(app.icon);
        EXPECT_FALSE(app.icon->pixmap(64).isNull());
        EXPECT_EQ(app.bundleID, Promotion::shared().bundleIDs().at(i));
    }
}

TEST_F(PromotionTest, RowsTakeTurnsAndStartOverAfterTheLast)
{
    const int last = int(Promotion::shared().bundleIDs().size());
    // Nothing stored counts as 1: the first choice is the row after it.
    QList<int> shown;
    for (int i = 0; i < last + 1; ++i)
        shown.append(next());
    EXPECT_EQ(stored(), 2);
    QList<int> expected;
    for (int id = 2; id <= last; ++id)
        expected.append(id);
    expected << 1 << 2;
    EXPECT_EQ(shown, expected);
}

TEST_F(PromotionTest, StoredIdAtOrBeyondTheLastRowStartsOver)
{
    platform::Settings::setInt(Key, Promotion::shared().bundleIDs().size());
    EXPECT_EQ(next(), 1);
    EXPECT_EQ(stored(), 1);
    platform::Settings::setInt(Key, 99);
    EXPECT_EQ(next(), 1);
}

TEST_F(PromotionTest, StoredValueThatIsNoWholeNumberCountsAsOne)
{
    platform::Settings::setText(Key, QStringLiteral("2.5"));
    EXPECT_EQ(next(), 2);
    platform::Settings::setText(Key, QStringLiteral("banana"));
    EXPECT_EQ(next(), 2);
}

TEST_F(PromotionTest, InstalledApplicationsDropOutAndTheTurnGoesOn)
{
    install(3);
    install(2, 1); // found in the system data folders too
    const QList<PromotionalApp> apps = Promotion::shared().promotionalApps();
    QList<int> ids;
    for (const PromotionalApp &app : apps)
        ids.append(app.id);
    EXPECT_FALSE(ids.contains(2));
    EXPECT_FALSE(ids.contains(3));
    EXPECT_EQ(ids.first(), 1);

    platform::Settings::setInt(Key, 1);
    EXPECT_EQ(next(), ids.at(1)); // the next higher id still to recommend
}

TEST_F(PromotionTest, OneRowLeftIsShownEveryTimeWithoutTouchingTheSetting)
{
    const int rows = int(Promotion::shared().bundleIDs().size());
    for (int row = 1; row <= rows; ++row) {
        if (row != 2)
            install(row);
    }
    platform::Settings::setInt(Key, 3);
    EXPECT_EQ(next(), 2);
    EXPECT_EQ(next(), 2);
    EXPECT_EQ(stored(), 3);
}

TEST_F(PromotionTest, NothingToRecommendWhenEverythingIsInstalled)
{
    const int rows = int(Promotion::shared().bundleIDs().size());
    for (int row = 1; row <= rows; ++row)
        install(row);
    EXPECT_FALSE(Promotion::shared().nextPromotionalApp());
    EXPECT_FALSE(platform::Settings::contains(Key));
}

TEST_F(PromotionTest, OpeningARecommendationAsksTheSoftwareCentreElseOpensItsWebPage)
{
    {
        SoftwareCentre centre;
        UrlRecorder recorder;
        const auto app = Promotion::shared().nextPromotionalApp();
        ASSERT_TRUE(app);
        EXPECT_TRUE(Promotion::open(*app));
        ASSERT_EQ(recorder.urls.size(), 1);
        EXPECT_EQ(recorder.urls.first().toString(), QStringLiteral("appstream:") + app->bundleID);
    }
    UrlRecorder web(QStringLiteral("https"));
    const auto app = Promotion::shared().nextPromotionalApp();
    ASSERT_TRUE(app);
    EXPECT_FALSE(app->isAppstore);
    EXPECT_TRUE(Promotion::open(*app));
    ASSERT_EQ(web.urls.size(), 1);
    EXPECT_EQ(web.urls.first().scheme(), QStringLiteral("https"));
}
