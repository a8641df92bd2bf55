// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ShellFixture.h"

#include "app/InitialWindowController.h"
#include "app/ViewController.h"
#include "batch/CleanMetadataViewController.h"
#include "browser/DashboardViewController.h"
#include "browser/HomeViewController.h"
#include "common/Globals.h"
#include "engine/FileInfo.h"
#include "platform/Clock.h"
#include "platform/GlobalQueue.h"
#include "platform/Settings.h"
#include "platform/widgets/MapView.h"
#include "platform/widgets/OpenPanel.h"
#include "support/SecondReader.h"
#include "support/TestEnvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QPushButton>

namespace shelltest {

// The running program, driven as a user drives it, offscreen: copies of
// the sample photos in a folder of the test's own, the main window opened
// by the delegate, and the helpers of a user's road through it.
class UserRoadFixture : public ShellFixture
{
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        ASSERT_TRUE(photos.isValid());
        platform::Clock::setManual(true);
        // Maps and addresses stay on this machine.
        platform::Settings::setText(platform::MapView::tileTemplateKey(platform::MapView::MapType::Standard),
            QStringLiteral("http://127.0.0.1:9/{z}/{x}/{y}.png"));
        platform::Settings::setText(
            QStringLiteral("geocoderBaseAddress"), QStringLiteral("http://127.0.0.1:9"));
        for (const QString &name :
            QDir(testsupport::testDataDir() + QStringLiteral("/images")).entryList(QDir::Files))
            testsupport::copyTestFile(QStringLiteral("images/") + name, photos);
    }
    void TearDown() override
    {
        settle();
        allFiles().clear();
        displayedFiles().clear();
        ShellFixture::TearDown();
    }

    // The program starts: its main window shows the dashboard.
    void launch()
    {
        delegate->applicationWillFinishLaunching();
        InitialWindowController::shared()->resize(1280, 860);
    }

    // The program ends and starts again on the same settings.
    void relaunch()
    {
        settle();
        allFiles().clear();
        displayedFiles().clear();
        delegate.reset();
        screens.releaseShared();
        delegate = std::make_unique<AppDelegate>(HelperHandshake(helper));
        launch();
    }

    // Background work finishes, its results arrive and due delays run.
    static void settle(int rounds = 12)
    {
        for (int i = 0; i < rounds; ++i) {
            platform::GlobalQueue::waitForDone();
            FileInfo::waitForDetails();
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
            platform::Clock::advance(500);
        }
    }

    // The add-photos panel of the dashboard, answered with a folder.
    static void chooseOnDashboard(const QString &folder)
    {
        const auto previous = platform::OpenPanel::setResponder([folder](const platform::OpenPanel &) {
            return platform::OpenPanel::Answer { platform::OpenPanel::OK, { QUrl::fromLocalFile(folder) } };
        });
        auto *dashboard = qobject_cast<DashboardViewController *>(ViewController::current()->shownPage());
        ASSERT_NE(dashboard, nullptr);
        dashboard->btnAddPhotos->click();
        settle();
        platform::OpenPanel::setResponder(previous);
    }

    // The folder of sample photos, added on the dashboard.
    void addFolder()
    {
        chooseOnDashboard(photos.path());
        ASSERT_EQ(ViewController::current()->shownPage(), HomeViewController::shared());
    }

    // Start, the destination panel answered with the button that changes
    // the photos in place; the batch runs to its end.
    static void startInPlace()
    {
        const auto previous = platform::OpenPanel::setResponder([](const platform::OpenPanel &panel) {
            panel.accessoryWidget()
                ->findChild<QPushButton *>(QStringLiteral("btnKeepSourceFolderPath"))
                ->click();
            return platform::OpenPanel::Answer { platform::OpenPanel::Cancel, {} };
        });
        HomeViewController::shared()->btnStartProcess->click();
        settle();
        platform::OpenPanel::setResponder(previous);
    }

    // Start, the destination panel answered with a folder: the batch copies
    // the photos into it and runs to its end.
    static void startIntoFolder(const QString &folder)
    {
        const auto previous = platform::OpenPanel::setResponder([folder](const platform::OpenPanel &) {
            return platform::OpenPanel::Answer { platform::OpenPanel::OK, { QUrl::fromLocalFile(folder) } };
        });
        HomeViewController::shared()->btnStartProcess->click();
        settle();
        platform::OpenPanel::setResponder(previous);
    }

    // The main screen's clean, of all but the Exif: the orientation, the
    // position, the comment, the IPTC and the XMP.
    static void chooseCleanOfAllButTheExif()
    {
        HomeViewController *home = HomeViewController::shared();
        home->popUpEditingOptions->setCurrentIndex(2);
        emit home->popUpEditingOptions->activated(2);
        CleanMetadataViewController *clean = CleanMetadataViewController::shared();
        for (QCheckBox *box : { clean->btnOrientation, clean->btnGPSInformation, clean->btnComment,
                 clean->btnIPTC, clean->btnXMP })
            box->setChecked(true);
    }

    // Only the photos of these names stay marked.
    static void markOnly(const QStringList &names)
    {
        HomeViewController *home = HomeViewController::shared();
        home->markOrUnmarkAll();
        settle(2);
        if (home->btnSelectAll->isChecked()) {
            home->markOrUnmarkAll();
            settle(2);
        }
        for (qsizetype i = 0; i < displayedFiles().size(); ++i) {
            if (names.contains(displayedFiles()[i]->fileName))
                home->toggleMark(i);
        }
    }

    // What a batch names nothing of stays in a copy: a converter's own
    // texts (its dates), the colour profile, and the picture.
    static void expectOwnTextsAndPictureKept(const QString &original, const secondreader::Reading &was,
        const QString &copy, const secondreader::Reading &is)
    {
        for (const QString &key : was.tags.keys()) {
            const QString group = secondreader::family1(key);
            const bool ownText = group == QLatin1String("PNG")
                && secondreader::tagName(key).startsWith(QLatin1String("Date"));
            if (ownText || group.startsWith(QLatin1String("ICC"))) {
                EXPECT_EQ(is.value(key), was.value(key)) << qPrintable(key);
            }
        }
        EXPECT_EQ(secondreader::picture(copy, is), secondreader::picture(original, was));
    }

    // The displayed record of that name.
    static std::shared_ptr<FileInfo> displayed(const QString &name)
    {
        for (const auto &file : displayedFiles()) {
            if (file->fileName == name)
                return file;
        }
        return nullptr;
    }

    QTemporaryDir photos;
};

} // namespace shelltest
