#include "browser/ScanViewStatus.h"

#include "platform/Notifier.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

TEST(ScanViewStatus, TravelsAsTheNotificationsOnlyEntry)
{
    const ScanViewStatus status { PhotosStatus::collecting, QStringLiteral("/a/b.jpg"), 0.25, 3, 4, 16 };
    const QVariantMap userInfo = status.userInfo();
    EXPECT_EQ(userInfo.keys(), QStringList { QStringLiteral("ScanViewStatus") });
    EXPECT_EQ(ScanViewStatus::fromUserInfo(userInfo), status);

    QSignalSpy spy(&platform::Notifier::instance(), &platform::Notifier::scanViewStatus);
    status.post();
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_EQ(ScanViewStatus::fromUserInfo(spy.at(0).at(0).toMap()), status);
}

TEST(ScanViewStatus, UserInfoWithoutAStatusGivesNone)
{
    EXPECT_FALSE(ScanViewStatus::fromUserInfo({}));
    EXPECT_FALSE(
        ScanViewStatus::fromUserInfo({ { QStringLiteral("ScanViewStatus"), QStringLiteral("text") } }));
    EXPECT_FALSE(ScanViewStatus::fromUserInfo(
        { { QStringLiteral("Other"), QVariant::fromValue(ScanViewStatus {}) } }));
}
