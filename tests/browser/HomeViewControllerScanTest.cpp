// SPDX-License-Identifier: GPL-3.0-or-later
// A scan run from the main screen: the sheet, the merge, the timing of the
// end and the one alert.

#include "ScanTestSupport.h"
#include "ScreenTestSupport.h"

#include "browser/ScanVC.h"
#include "platform/Notifier.h"
#include "platform/widgets/Window.h"
#include "support/AlertScript.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>

using namespace screentest;

namespace {

using Event = platform::Presenter::Event;

class HomeScanTest : public ScreenFixture
{
protected:
    void SetUp() override
    {
        ScreenFixture::SetUp();
        ScanFlags::shared().setScanStopped(false);
        ScanFlags::shared().setScanPaused(false);
        home = std::make_unique<HomeViewController>();
        home->resize(900, 600);
    }
    void TearDown() override
    {
        drain();
        FileInfo::waitForDetails();
        drain();
        home.reset();
        ScreenFixture::TearDown();
    }

    QString folderWith(const QString &name, const QStringList &files)
    {
        const QString folder = dir.filePath(name);
        QDir().mkpath(folder);
        for (const QString &file : files) {
            if (file.endsWith(QStringLiteral(".jpg"))) {
                scantest::writeJpeg(folder + '/' + file);
            } else {
                QFile text(folder + '/' + file);
                EXPECT_TRUE(text.open(QIODevice::WriteOnly));
            }
        }
        return folder;
    }

    // Starts a scan and lets the walk end; the end's pauses are the test's.
    void scan(const QString &path)
    {
        home->startScan(QList<QUrl> { QUrl::fromLocalFile(path) });
        drain();
    }

    int count(Event kind) const
    {
        return int(std::count_if(presentations.events.cbegin(), presentations.events.cend(),
            [kind](const auto &event) { return event.first == kind; }));
    }

    std::unique_ptr<HomeViewController> home;
};

} // namespace

TEST_F(HomeScanTest, NewFilesArriveMarkedOnceWhileTheWindowKeepsItsSize)
{
    auto loaded = record("old.jpg");
    allFiles() = { loaded };
    const QString folder = folderWith("trip", { "a.jpg", "b.jpg", "notes.txt" });

    home->startScan(QList<QUrl> { QUrl::fromLocalFile(folder) });
    EXPECT_TRUE(home->isScanning());
    EXPECT_FALSE(platform::Window::isResizable(home.get()));
    ASSERT_EQ(count(Event::Sheet), 1);
    EXPECT_EQ(presentations.events[0].second, ScanVC::shared());
    home->startScan(QList<QUrl> { QUrl::fromLocalFile(folder) });
    EXPECT_EQ(count(Event::Sheet), 1) << "a second scan is not started meanwhile";
    drain();

    advance(HomeViewController::ScanSettleMs - 1);
    EXPECT_EQ(allFiles().size(), 1) << "the walk's end settles for a second";
    advance(1);
    ASSERT_EQ(allFiles().size(), 3);
    EXPECT_EQ(count(Event::Dismissed), 0);
    advance(HomeViewController::ScanSettleMs);
    EXPECT_EQ(count(Event::Dismissed), 1);
    EXPECT_TRUE(platform::Window::isResizable(home.get()));
    EXPECT_FALSE(home->isScanning());
    EXPECT_EQ(names(displayedFiles()), QStringList({ "a.jpg", "b.jpg", "old.jpg" }));
    EXPECT_FALSE(loaded->isMark) << "files loaded before keep their marks";
    EXPECT_TRUE(allFiles()[1]->isMark && allFiles()[2]->isMark);
    EXPECT_EQ(home->lblTotalPhotos->text(), QStringLiteral("T55: 2 / 3"));

    testsupport::AlertScript alerts;
    alerts.answer(platform::Alert::FirstButton);
    advance(HomeViewController::ScanSettleMs);
    ASSERT_EQ(alerts.shown().size(), 1u);
    EXPECT_EQ(alerts.shown()[0].message, QStringLiteral("T239"));
    EXPECT_EQ(alerts.shown()[0].informative, QStringLiteral("T242"));

    // The same folder again: nothing new, and both reasons are told.
    scan(folder);
    advance(2 * HomeViewController::ScanSettleMs);
    EXPECT_EQ(allFiles().size(), 3);
    alerts.answer(platform::Alert::FirstButton);
    advance(HomeViewController::ScanSettleMs);
    ASSERT_EQ(alerts.shown().size(), 2u);
    EXPECT_EQ(alerts.shown()[1].informative, QStringLiteral("T240"));
}

TEST_F(HomeScanTest, AnEmptyFolderClosesTheSheetWithoutAReloadAndTellsASecondLater)
{
    auto loaded = record("kept.jpg");
    allFiles() = { loaded };
    displayedFiles() = { loaded };
    const QString empty = folderWith("empty", {});
    QSignalSpy statuses(&platform::Notifier::instance(), &platform::Notifier::scanViewStatus);

    scan(empty);
    statuses.clear();
    advance(HomeViewController::ScanSettleMs);
    EXPECT_EQ(count(Event::Dismissed), 1);
    EXPECT_TRUE(platform::Window::isResizable(home.get()));
    EXPECT_FALSE(home->isScanning());
    EXPECT_FALSE(home->isReloading());
    EXPECT_EQ(displayedFiles(), FileInfoList({ loaded }));
    ASSERT_EQ(statuses.count(), 1);
    EXPECT_EQ(ScanViewStatus::fromUserInfo(statuses[0][0].toMap()), ScanViewStatus()) << "a zero status";

    testsupport::AlertScript alerts;
    alerts.answer(platform::Alert::FirstButton);
    advance(HomeViewController::ScanSettleMs);
    ASSERT_EQ(alerts.shown().size(), 1u);
    EXPECT_EQ(alerts.shown()[0].message, QStringLiteral("T237"));
    EXPECT_EQ(alerts.shown()[0].informative, QStringLiteral("T238"));
}

TEST_F(HomeScanTest, AMissingAlertTextSuppressesTheAlert)
{
    QVariantMap texts = keyTexts();
    texts.remove(QStringLiteral("QX_ID_238"));
    setLocalizationDictionary(texts);
    scan(folderWith("nothing", {}));
    advance(3 * HomeViewController::ScanSettleMs);
    EXPECT_FALSE(home->isScanning());
}
