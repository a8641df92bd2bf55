// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/ScanVC.h"

#include "common/AppHelpers.h"
#include "common/Localization.h"
#include "common/ScanFlags.h"
#include "controls/CircularProgressView.h"
#include "platform/PhotosApp.h"
#include "platform/widgets/Presenter.h"
#include "platform/widgets/ScreenRegistry.h"
#include "support/AlertScript.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

class ScanVCTest : public testing::Test
{
protected:
    void SetUp() override
    {
        setLocalizationDictionary(QVariantMap {
            { QStringLiteral("QX_ID_26"), QStringLiteral("Path") },
            { QStringLiteral("QX_ID_51"), QStringLiteral("Stop") },
            { QStringLiteral("QX_ID_199"), QStringLiteral("Yes") },
            { QStringLiteral("QX_ID_200"), QStringLiteral("No") },
            { QStringLiteral("QX_ID_203"), QStringLiteral("Stop?") },
            { QStringLiteral("QX_ID_204"), QStringLiteral("Sure?") },
            { QStringLiteral("QX_ID_249"), QStringLiteral("Photo") },
            { QStringLiteral("QX_ID_250"), QStringLiteral("Photos") },
            { QStringLiteral("QX_ID_259"), QStringLiteral("Adding Photos") },
            { QStringLiteral("QX_ID_261"), QStringLiteral("selected") },
            { QStringLiteral("QX_ID_262"), QStringLiteral("Processing") },
            { QStringLiteral("QX_ID_263"), QStringLiteral("Quit?") },
            { QStringLiteral("QX_ID_264"), QStringLiteral("Library busy") },
            { QStringLiteral("QX_ID_265"), QStringLiteral("Quit") },
            { QStringLiteral("QX_ID_266"), QStringLiteral("Skip") },
        });
        ScanFlags::shared().setScanPaused(false);
        ScanFlags::shared().setScanStopped(false);
        sheet = std::make_unique<ScanVC>();
    }
    void TearDown() override
    {
        loadLocalizationDictionary();
        platform::PhotosApp::setFake(nullptr);
    }

    // Lets the answer of a sheet alert arrive.
    static void deliver() { QCoreApplication::processEvents(); }

    platform::ScreenRegistry screens;
    std::unique_ptr<ScanVC> sheet;
};

} // namespace

TEST_F(ScanVCTest, ShowsTheStatusWithTheRightWordsAndCounts)
{
    EXPECT_EQ(sheet->btnStop->text(), QStringLiteral("Stop"));
    sheet->update(ScanViewStatus { PhotosStatus::collecting, QStringLiteral("/p/a.jpg"), 0.29, 1, 3, 16 });
    EXPECT_EQ(sheet->lblAddingPhotos->text(), QStringLiteral("Adding Photos..."));
    EXPECT_EQ(sheet->lblPath->text(), QStringLiteral("Path:"));
    EXPECT_EQ(sheet->lblPathValue->text(), QStringLiteral("/p/a.jpg"));
    EXPECT_EQ(sheet->lblPhotosSelected->text(), QStringLiteral("1 photo selected"));
    EXPECT_EQ(sheet->lblProcessing->text(), QStringLiteral("Processing:"));
    EXPECT_EQ(sheet->lblProcessingValue->text(), QStringLiteral("3 / 16"));
    EXPECT_DOUBLE_EQ(sheet->progress->progress(), 0.29);

    sheet->update(ScanViewStatus { PhotosStatus::collecting, QStringLiteral("/p/b.jpg"), 0.5, 2, 8, 16 });
    EXPECT_EQ(sheet->lblPhotosSelected->text(), QStringLiteral("2 photos selected"));
    // While counting, the path line says so whatever the path holds.
    sheet->update(
        ScanViewStatus { PhotosStatus::analysing, QStringLiteral("/p/c.jpg"), 0, 0, 12345, 100000 });
    EXPECT_EQ(sheet->lblPathValue->text(), QStringLiteral("Adding Photos..."));
    EXPECT_EQ(sheet->lblPhotosSelected->text(), QStringLiteral("0 photos selected"));
    EXPECT_EQ(sheet->lblProcessingValue->text(), QStringLiteral("12345 / 100000"));
}

TEST_F(ScanVCTest, FollowsTheNotificationAndIgnoresForeignUserInfo)
{
    const ScanViewStatus status { PhotosStatus::collecting, QStringLiteral("/q/z.png"), 0.75, 9, 30, 40 };
    status.post();
    deliver();
    EXPECT_EQ(sheet->lblPathValue->text(), QStringLiteral("/q/z.png"));

    sheet->notificationUpdateScanViewStatus({});
    sheet->notificationUpdateScanViewStatus({ { QStringLiteral("ScanViewStatus"), 42 } });
    EXPECT_EQ(sheet->lblPathValue->text(), QStringLiteral("/q/z.png"));
    EXPECT_EQ(sheet->lblProcessingValue->text(), QStringLiteral("30 / 40"));
}

TEST_F(ScanVCTest, StopPausesWhileAskingAndStopsOnlyOnTheSecondButton)
{
    for (const int answer : { platform::Alert::FirstButton, platform::Alert::FirstButton + 1 }) {
        testsupport::AlertScript script;
        script.answer(answer);
        sheet->btnStop->click();
        EXPECT_TRUE(ScanFlags::shared().isScanPaused());
        deliver();
        EXPECT_FALSE(ScanFlags::shared().isScanPaused());
        EXPECT_EQ(ScanFlags::shared().isScanStopped(), answer != platform::Alert::FirstButton);
        ASSERT_EQ(script.shown().size(), 1u);
        EXPECT_EQ(script.shown()[0].message, QStringLiteral("Stop?"));
        EXPECT_EQ(script.shown()[0].informative, QStringLiteral("Sure?"));
        EXPECT_EQ(script.shown()[0].buttons, (QStringList { QStringLiteral("No"), QStringLiteral("Yes") }));
    }
}

TEST_F(ScanVCTest, QuitQuestionSetsTheFlagsByAnswer)
{
    struct Case
    {
        int answer;
        bool skip;
        int terminated;
    };
    for (const Case c : { Case { platform::Alert::FirstButton, false, 1 },
             Case { platform::Alert::FirstButton + 1, true, 0 }, Case { 0, true, 0 } }) {
        platform::PhotosApp::Fake photos { true, 0 };
        platform::PhotosApp::setFake(&photos);
        testsupport::AlertScript script;
        script.answer(c.answer);
        ScanFlags::shared().setAskingToQuitPhotos(true);
        sheet->askToQuitPhotos();
        deliver();
        EXPECT_FALSE(ScanFlags::shared().isAskingToQuitPhotos());
        // Any other answer leaves the skip flag as the previous one set it.
        EXPECT_EQ(ScanFlags::shared().isSkipPhotosLibrary.load(), c.skip) << c.answer;
        EXPECT_EQ(photos.terminateRequests, c.terminated);
        ASSERT_EQ(script.shown().size(), 1u);
        EXPECT_EQ(
            script.shown()[0].buttons, (QStringList { QStringLiteral("Quit"), QStringLiteral("Skip") }));
        platform::PhotosApp::setFake(nullptr);
    }
    ScanFlags::shared().isSkipPhotosLibrary = false;
}

TEST_F(ScanVCTest, OneSharedSheet)
{
    ScanVC *shared = ScanVC::shared();
    EXPECT_EQ(ScanVC::shared(), shared);
    EXPECT_NE(shared, sheet.get());
    EXPECT_EQ(shared->size(), ScanVC::SheetSize);
}

TEST_F(ScanVCTest, CloseDismissesThePresentedSheet)
{
    std::vector<platform::Presenter::Event> events;
    const auto previous
        = platform::Presenter::setRecorder([&](platform::Presenter::Event event, QWidget *content) {
              if (content == sheet.get())
                  events.push_back(event);
          });
    QWidget host;
    platform::Presenter::presentAsSheet(&host, sheet.get());
    sheet->close();
    platform::Presenter::setRecorder(previous);
    EXPECT_EQ(
        events, (std::vector { platform::Presenter::Event::Sheet, platform::Presenter::Event::Dismissed }));
}
